// The search for a clearing run: a beam of the most promising moments of play,
// each tried with a handful of inputs held for a few frames (fire in one of
// several directions, fire at a nearby bee, or let go), keeping the moments
// nearest the goal by the distance map and dropping every one that dies. The
// inputs are the mouse's, or the pad's right stick and trigger.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unordered_map>
#include <vector>
#include "tools/solve/field.h"
#include "game/motion.h"
#include "tools/solve/sim.h"

namespace solve {

struct SearchSettings {
    int beamWidth = 48;
    int holdFrames = 4;   // frames each choice is held
    int directions = 24;  // aims around the character
    int maxFrames = 6000;
    bool progress = false;  // report the best moment on standard error now and then
    bool pad = false;       // play with the pad's stick and trigger, not the mouse
};

struct Trail {
    int parent;  // index into the trail list, -1 for the start
    std::vector<Input> inputs;
};

struct Candidate {
    Moment* moment;
    int trail;
    double score;
};

// How bad a moment looks: the distance still to go, plus the danger of awake
// bees close to the character.
inline double Score(const Field& field, const Moment& m)
{
    float x = m.run.play.camX + PLAYER_SCREEN_X, y = m.run.play.camY + PLAYER_SCREEN_Y;
    // Grazing a deadly tile is no plan: a player could not repeat it.
    if (NearDeadly((int)x, (int)y, DEADLY_CLEARANCE)) return 1e18;
    double score = DistanceAt(field, x, y);
    if (score >= FIELD_FAR) return 1e18;
    for (int i = 0; i < m.run.play.beeCount; i++) {
        const Bee& b = m.run.play.bees[i];
        if (b.state != BEE_ACTIVE) continue;
        double dx = b.x + 32 - m.run.play.camX - PLAYER_SCREEN_X, dy = b.y + 32 - m.run.play.camY - PLAYER_SCREEN_Y;
        double d = std::sqrt(dx * dx + dy * dy);
        if (d < 260) score += (260 - d) * 1.5;
        score += 6;  // every bee still alive is a risk
    }
    return score;
}

// Where on screen the rank-th nearest awake bee's centre is (0 the nearest,
// by its distance from the gun's pivot); false when fewer are awake.
inline bool NearBee(const Moment& m, int rank, short* x, short* y)
{
    std::vector<std::pair<double, int>> near;
    for (int i = 0; i < m.run.play.beeCount; i++) {
        const Bee& b = m.run.play.bees[i];
        if (b.state != BEE_ACTIVE) continue;
        double dx = b.x + 32 - m.run.play.camX - GUN_PIVOT_X, dy = b.y + 32 - m.run.play.camY - GUN_PIVOT_Y;
        near.push_back({dx * dx + dy * dy, i});
    }
    if (rank >= (int)near.size()) return false;
    std::nth_element(near.begin(), near.begin() + rank, near.end());
    const Bee& b = m.run.play.bees[near[rank].second];
    *x = (short)(b.x + 32 - (int)m.run.play.camX);
    *y = (short)(b.y + 32 - (int)m.run.play.camY);
    return true;
}

// The pad's input for a choice, as ChoiceInput below: the stick pushed the
// way opposite the heading, or toward the bee (the one of the pad's
// directions whose aim turns the gun nearest the bee); letting go centres the
// stick and lets the trigger go, the aim holding its last angle. Letting go
// waits until the stick has aimed once, so that the resting mouse is never
// the aim.
inline bool PadChoiceInput(const Moment& m, int choice, const SearchSettings& s, Input* in)
{
    in->pad = true;
    in->mouseX = in->mouseY = 0;
    if (choice == s.directions) {
        in->stickX = in->stickY = 0;
        in->firing = false;
        return m.aim.stickAims;
    }
    int k;
    if (choice < s.directions) {
        k = (int)std::lround((double)PAD_DIRECTIONS * choice / s.directions + PAD_DIRECTIONS / 2) % PAD_DIRECTIONS;
    } else {
        if (!NearBee(m, choice - s.directions - 1, &in->mouseX, &in->mouseY)) return false;
        double want = std::atan2((double)in->mouseY - GUN_PIVOT_Y, (double)in->mouseX - GUN_PIVOT_X);
        double best = 10;
        k = 0;
        for (int d = 0; d < PAD_DIRECTIONS; d++) {
            StickAxes axes = PadDirection(d);
            int x, y;
            if (!StickAimPoint(axes.x, axes.y, 0, &x, &y)) continue;
            double off = std::fabs(std::remainder(std::atan2((double)y - GUN_PIVOT_Y, (double)x - GUN_PIVOT_X) - want,
                                                  2 * 3.14159265358979));
            if (off < best) {
                best = off;
                k = d;
            }
        }
        in->mouseX = in->mouseY = 0;
    }
    StickAxes axes = PadDirection(k);
    in->stickX = axes.x;
    in->stickY = axes.y;
    in->firing = true;
    return true;
}

// The input of one frame of a choice. Choices below `directions` fire so the
// recoil pushes toward that heading; the next one lets go; the rest fire at
// the k-th nearest awake bee.
inline bool ChoiceInput(const Moment& m, int choice, const SearchSettings& s, Input* in)
{
    if (s.pad) return PadChoiceInput(m, choice, s, in);
    if (choice < s.directions) {
        double a = 2 * 3.14159265358979 * choice / s.directions;
        // The mouse goes opposite the way we want to be pushed.
        in->mouseX = (short)std::lround(PLAYER_SCREEN_X - 300 * std::cos(a));
        in->mouseY = (short)std::lround(PLAYER_SCREEN_Y - 300 * std::sin(a));
        if (in->mouseX == PLAYER_SCREEN_X && in->mouseY == PLAYER_SCREEN_Y) in->mouseY += 1;
        in->firing = true;
        return true;
    }
    if (choice == s.directions) {
        in->mouseX = PLAYER_SCREEN_X;
        in->mouseY = PLAYER_SCREEN_Y - 200;
        in->firing = false;
        return true;
    }
    if (!NearBee(m, choice - s.directions - 1, &in->mouseX, &in->mouseY)) return false;
    if (in->mouseX == PLAYER_SCREEN_X && in->mouseY == PLAYER_SCREEN_Y) in->mouseY += 1;
    in->firing = true;
    return true;
}

enum { SEARCH_GOING, SEARCH_FOUND, SEARCH_FAILED };

// A search under way, so that it can be taken a slice at a time (the
// editor's frames each take one). Start it with StartSearch, step it until
// its status is no longer SEARCH_GOING, and let it go with EndSearch (its
// destructor does too). It keeps a pointer to the field, which must outlive it.
struct SearchRun {
    const Field* field = nullptr;
    SearchSettings s;
    int choices = 0;
    std::vector<Trail> trails;
    std::vector<Moment*> pool;
    std::vector<Candidate> beam, children;
    int frame = 0;     // the play frame the beam stands at
    size_t next = 0;   // the beam's next moment to try the choices from
    int choice = 0;    // and its next choice
    int status = SEARCH_GOING;
    std::vector<Input> inputs;  // SEARCH_FOUND: one per play frame, the goal frame last
    Moment* end = nullptr;      // SEARCH_FOUND: the goal's moment
    // The best moment the beam has held: its score and the character's place.
    double bestScore = 1e18;
    float bestX = 0, bestY = 0;

    SearchRun() = default;
    SearchRun(const SearchRun&) = delete;
    SearchRun& operator=(const SearchRun&) = delete;
    ~SearchRun()
    {
        for (Moment* p : pool) delete p;
        delete end;
    }
};

inline Moment* FreshMoment(SearchRun& r)
{
    Moment* m = new Moment;
    r.pool.push_back(m);
    return m;
}

inline void EndSearch(SearchRun& r)
{
    for (Moment* p : r.pool) delete p;
    r.pool.clear();
    r.beam.clear();
    r.children.clear();
}

inline void StartSearch(SearchRun& r, const Field& field, const Moment& start, const SearchSettings& s)
{
    constexpr int BEE_CHOICES = 2;
    EndSearch(r);
    r.field = &field;
    r.s = s;
    r.choices = s.directions + 1 + BEE_CHOICES;
    r.trails.clear();
    r.beam = {{FreshMoment(r), -1, 0}};
    CopyMoment(*r.beam[0].moment, start);
    r.frame = 0;
    r.next = 0;
    r.choice = 0;
    r.status = s.maxFrames > 0 ? SEARCH_GOING : SEARCH_FAILED;
    r.bestScore = 1e18;
}

// The beam's moments all tried: the best of their children become the next
// beam, one per small patch of the map and strength of recoil, so that the
// beam keeps different ideas alive.
inline void NextBeam(SearchRun& r)
{
    std::vector<Candidate>& children = r.children;
    children.erase(std::remove_if(children.begin(), children.end(),
                                  [](const Candidate& c) { return c.score >= 1e18; }),
                   children.end());
    if (children.empty()) {
        r.status = SEARCH_FAILED;
        return;
    }
    std::sort(children.begin(), children.end(),
              [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
    std::unordered_map<long long, int> taken;
    std::vector<Candidate> next;
    for (const Candidate& c : children) {
        long long key = ((long long)(c.moment->run.play.camX / 24) * 4096 + (long long)(c.moment->run.play.camY / 24)) * 8 +
                        (long long)(c.moment->run.play.thrust / 5) * 2 + (c.moment->run.play.fallSpeed > 0 ? 1 : 0);
        if (taken[key]++ > 0) continue;
        next.push_back(c);
        if ((int)next.size() == r.s.beamWidth) break;
    }
    // The moments not kept are freed.
    std::vector<Moment*> keep;
    for (const Candidate& c : next) keep.push_back(c.moment);
    std::sort(keep.begin(), keep.end());
    std::vector<Moment*> rest;
    for (Moment* p : r.pool)
        if (std::binary_search(keep.begin(), keep.end(), p))
            rest.push_back(p);
        else
            delete p;
    r.pool.swap(rest);
    r.beam.swap(next);
    children.clear();
    if (r.beam[0].score < r.bestScore) {
        r.bestScore = r.beam[0].score;
        r.bestX = r.beam[0].moment->run.play.camX + PLAYER_SCREEN_X;
        r.bestY = r.beam[0].moment->run.play.camY + PLAYER_SCREEN_Y;
    }
    if (r.s.progress && r.frame % 400 == 0)
        fprintf(stderr, "  frame %d: best %.0f at (%.0f, %.0f)\n", r.frame, r.beam[0].score,
                r.beam[0].moment->run.play.camX + PLAYER_SCREEN_X, r.beam[0].moment->run.play.camY + PLAYER_SCREEN_Y);
    r.frame += r.s.holdFrames;
    r.next = 0;
    r.choice = 0;
    if (r.frame >= r.s.maxFrames) r.status = SEARCH_FAILED;
}

// Tries up to `slices` choices (each costs up to holdFrames play frames),
// from one beam moment after another, moving on to the next beam when the
// beam is done. Returns the status.
inline int StepSearch(SearchRun& r, int slices)
{
    for (; slices > 0 && r.status == SEARCH_GOING; slices--) {
        const Candidate& c = r.beam[r.next];
        int choice = r.choice;
        if (++r.choice == r.choices) {
            r.choice = 0;
            r.next++;
        }
        Moment* m = FreshMoment(r);
        CopyMoment(*m, *c.moment);
        Trail t{c.trail, {}};
        bool usable = true, died = false, won = false;
        for (int f = 0; f < r.s.holdFrames; f++) {
            Input in;
            if (!ChoiceInput(*m, choice, r.s, &in)) {
                usable = false;
                break;
            }
            PlayFrame(*m, in);
            t.inputs.push_back(in);
            if (m->scene == SCENE_GOAL) {
                won = true;
                break;
            }
            if (m->scene == SCENE_DIED) {
                died = true;
                break;
            }
        }
        if (usable && !died) {
            r.trails.push_back(std::move(t));
            int index = (int)r.trails.size() - 1;
            if (won) {
                std::vector<const Trail*> chain;
                for (int k = index; k >= 0; k = r.trails[k].parent) chain.push_back(&r.trails[k]);
                r.inputs.clear();
                for (auto it = chain.rbegin(); it != chain.rend(); ++it)
                    r.inputs.insert(r.inputs.end(), (*it)->inputs.begin(), (*it)->inputs.end());
                if (!r.end) r.end = new Moment;
                CopyMoment(*r.end, *m);
                EndSearch(r);
                r.status = SEARCH_FOUND;
                return r.status;
            }
            r.children.push_back({m, index, Score(*r.field, *m)});
        }
        if (r.next == r.beam.size()) NextBeam(r);
    }
    if (r.status == SEARCH_FAILED) EndSearch(r);
    return r.status;
}

// Searches from `start` for a run that reaches the goal without dying. On
// success fills `inputs` (one per play frame, the goal frame last) and returns true.
inline bool SearchStage(const Field& field, const Moment& start, const SearchSettings& s,
                        std::vector<Input>* inputs, Moment* end)
{
    static SearchRun run;
    StartSearch(run, field, start, s);
    while (StepSearch(run, 1 << 20) == SEARCH_GOING) {}
    if (run.status != SEARCH_FOUND) return false;
    inputs->swap(run.inputs);
    CopyMoment(*end, *run.end);
    return true;
}

}  // namespace solve
