// Reading a stage pack's folder, and where its stages keep their records.
#include "game/stage_pack.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <system_error>

#include "game/datadir.h"
#include "game/recording.h"
#include "game/replay_files.h"
#include "game/stage.h"
#include "game/stage_file.h"

namespace fs = std::filesystem;

namespace {

StagePack packInPlay;
bool packChosen = false;

// A path as standard error shows it: a name is the pack maker's, and its
// control bytes (a terminal's escapes among them) become '?'. UTF-8 stays.
std::string Shown(const std::string& path)
{
    std::string shown = path;
    for (char& c : shown)
        if ((unsigned char)c < 0x20 || c == 0x7F) c = '?';
    return shown;
}

bool IsStageFileName(const std::string& name)
{
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0;
}

}  // namespace

bool ReadStagePack(const std::string& folder, StagePack* pack, std::string* why)
{
    *pack = StagePack();
    pack->folder = folder;
    std::error_code error;
    fs::directory_iterator entries(folder, error);
    if (error) {
        *why = "the folder " + Shown(folder) + " cannot be read (" + error.message() + ")";
        return false;
    }
    std::vector<std::string> names;
    int looked = 0;
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) break;
        if (++looked > PACK_MOST_ENTRIES) {
            fprintf(stderr, "Prismveldt: %s holds more than %d entries; only the first are looked at\n",
                    Shown(folder).c_str(), PACK_MOST_ENTRIES);
            break;
        }
        // (Where names are wide, one the narrow form cannot hold is refused
        // by an exception: that file is left out, not the game.)
        std::string name;
        try {
            name = entries->path().filename().string();
        } catch (const std::exception&) {
            fprintf(stderr, "Prismveldt: a file of %s whose name cannot be read here is left out\n", Shown(folder).c_str());
            continue;
        }
        if (IsStageFileName(name)) names.push_back(name);
    }
    if (error) {
        *why = "the folder " + Shown(folder) + " cannot be read (" + error.message() + ")";
        return false;
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        std::string path = folder + "/" + name;
        if ((int)pack->names.size() == PACK_MOST_STAGES) {
            fprintf(stderr, "Prismveldt: the stage %s is left out: a pack plays at most %d stages\n",
                    Shown(path).c_str(), PACK_MOST_STAGES);
            continue;
        }
        std::vector<int> cells;
        std::string problem;
        int state = ReadStageCells(path.c_str(), &cells, &problem);
        if (state != STAGE_FILE_OK) {
            if (state == STAGE_FILE_MISSING) problem = "it is no longer there";
            fprintf(stderr, "Prismveldt: the stage %s is left out: %s\n", Shown(path).c_str(), problem.c_str());
            continue;
        }
        pack->names.push_back(name);
        pack->hashes.push_back(CellsHash(cells.data()));
        pack->cells.push_back(std::move(cells));
    }
    if (pack->names.empty()) {
        *why = names.empty() ? "the folder " + Shown(folder) + " holds no stage files (*.txt)"
                             : "the folder " + Shown(folder) + " holds no stage that can be played";
        return false;
    }
    return true;
}

void UseStagePack(StagePack pack, const char* scorePath)
{
    packInPlay = std::move(pack);
    packChosen = true;
    packInPlay.scorePaths.assign(packInPlay.names.size(), "");
    for (size_t s = 0; s < packInPlay.names.size() && scorePath != nullptr; s++) {
        std::string folder = KeptFilePath(scorePath, "stages/" + StageHashText(packInPlay.hashes[s]));
        if (!MakePrivateFolders(folder)) {
            fprintf(stderr, "Prismveldt: the folder %s cannot be made; the times of %s are kept only until the game ends\n",
                    Shown(folder).c_str(), Shown(packInPlay.names[s]).c_str());
            continue;
        }
        packInPlay.scorePaths[s] = folder + "/scoretime.txt";
        TidyScoreFolder(packInPlay.scorePaths[s].c_str());
    }
    PlayStagePack(&packInPlay.cells);
}

const StagePack* PackInPlay() { return packChosen ? &packInPlay : nullptr; }

int StagesInPlay() { return packChosen ? (int)packInPlay.names.size() : STAGE_COUNT; }

StageRecords RecordsOfStage(int stage)
{
    if (!packChosen) return {scoreFilePath, stage, ""};
    if (stage < 1 || stage > (int)packInPlay.names.size()) return {nullptr, 1, "\n"};  // no stage: in bounds, apart
    if (packInPlay.scorePaths[stage - 1].empty()) return {nullptr, 1, packInPlay.names[stage - 1].c_str()};
    return {packInPlay.scorePaths[stage - 1].c_str(), 1, ""};
}

int PackStageWithHash(const StagePack& pack, uint64_t hash)
{
    for (size_t s = 0; s < pack.hashes.size(); s++)
        if (pack.hashes[s] == hash) return (int)s + 1;
    return 0;
}
