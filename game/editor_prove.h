// Proving the editor's stage clearable: first the checks that need no
// search (the start clear of solid and deadly tiles, a goal tile, a goal the
// start is not walled off from), answered at once; then the project's
// solver, a slice at a time, so that the editor's one frame loop stays
// responsive. A run found is played again through the game's rules as a
// recording, which must verify before the stage counts as clearable.
//
// Everything here works on tileMap: StartProof puts the stage there.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/recording.h"

namespace solve {
struct SearchRun;
struct Field;
}

enum {
    PROOF_NONE,        // not asked, or cleared by an edit
    PROOF_REFUSED,     // a check before the search failed: text says which
    PROOF_SEARCHING,
    PROOF_CLEARABLE,   // text "clearable, par m:ss.d", recording verified
    PROOF_NO_ROUTE     // text "no route found in N s", farthest point marked
};

struct Proof {
    int status = PROOF_NONE;
    std::string text;
    std::vector<int> cells;  // the grid proved
    std::shared_ptr<solve::Field> field;
    std::shared_ptr<solve::SearchRun> search;
    uint32_t startedMs = 0;  // PlatformTimeMs when the search began
    int frame = 0;           // how deep into the run the search is (play frames)
    // The character's place nearest the goal that the search has reached
    // (world pixels): where a failed search is marked on the map.
    // The solver's own measure (the distance map) when it has one there, or
    // else, for a start the map cannot lead from, the place nearest a goal
    // tile as the crow flies.
    bool marked = false;
    int markX = 0, markY = 0;
    double nearest = 1e300;             // that place's distance to a goal tile
    std::vector<int> goalX, goalY;      // the goal tiles' centres
    Recording recording;     // PROOF_CLEARABLE: the solver's run
};

// The checks before any search, on the stage in tileMap: "" when they pass,
// otherwise what is wrong ("the start lies in a solid tile", "... in a deadly
// tile", "there is no goal tile", "every goal is walled off from the start").
// The last is a flood fill over the cells that are neither solid nor deadly,
// from the cell of the character's centre at the start.
std::string ProofProblem();
// Puts cells (MAP_CELLS codes) in tileMap, runs the checks, and starts the
// search when they pass.
void StartProof(Proof* proof, const std::vector<int>& cells);
// Takes the search on by at most `slices` slices (a choice tried from a moment), and within budgetMs of
// PlatformTimeMs when that clock moves meanwhile (on the harness's clock,
// which stands still within a frame, always the whole count). When the
// search ends the proof says how. Nothing for a proof not searching.
void StepProof(Proof* proof, int slices, uint32_t budgetMs);
// The recording of a solver's run (mouse inputs, one per play frame, the goal
// frame last) on the stage in tileMap: its play frames, the goal's curtain,
// the clock at 16 ms a frame. Recorded as stage 1 with the grid's hash (a
// recording names one of the game's stage numbers).
Recording ProofRecording(const std::vector<short>& mouseX, const std::vector<short>& mouseY,
                         const std::vector<bool>& firing);
// "m:ss.d" for a time in ms.
std::string ParText(uint32_t ms);
