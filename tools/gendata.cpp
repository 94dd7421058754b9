// Generates the game's data folder: every picture under bmp/, the sounds and
// music under se/, and a first score file under txt/. The same bytes come out
// on every run. An existing score file is never touched: it holds players'
// best times.
//
// Usage: gendata DATA_DIR [pictures|sounds|scores]...  (no part: all three)
#include <cstdio>
#include <string>

#include "gendata/art.h"
#include "gendata/files.h"
#include "gendata/sound.h"

namespace {

std::string root;
int failures = 0;

void Save(const std::string& rel, const Picture& pic)
{
    if (!WriteBmp(root + "/" + rel, pic)) {
        std::fprintf(stderr, "gendata: cannot write %s/%s\n", root.c_str(), rel.c_str());
        failures++;
    }
}

void SaveBytes(const std::string& rel, const Bytes& bytes)
{
    if (bytes.empty() || !WriteFile(root + "/" + rel, bytes)) {
        std::fprintf(stderr, "gendata: cannot make %s/%s\n", root.c_str(), rel.c_str());
        failures++;
    }
}

// The first table: the team's own best times. Each stage's fastest proven
// clear (tools/solve's run: the clock at the goal, plus the 25 frames of the
// clear curtain that the results count) taken as par, and the team's five
// best runs somewhat slower than that, so a good run beats some of them and a
// very good one tops the table.
void WriteScoreFileIfAbsent()
{
    std::string path = root + "/txt/scoretime.txt";
    if (FileExists(path))
        return;
    const int parMs[4] = {14592 + 400, 17280 + 400, 13184 + 400, 15056 + 400};
    const double slower[5] = {1.18, 1.37, 1.63, 1.96, 2.41};
    std::string text;
    for (int stage = 0; stage < 4; stage++)
        for (int rank = 0; rank < 5; rank++)
            text += " " + std::to_string(int(parMs[stage] * slower[rank]));
    SaveBytes("txt/scoretime.txt", Bytes(text.begin(), text.end()));
}

void MakePictures()
{
    Save("bmp/stage/haikei.bmp", MakeTileSheet());
    Save("bmp/stage/checkpoint_held.bmp", MakeHeldCheckpoint());
    Save("bmp/stage/haikei1.bmp", MakeMiddleLayer());
    Save("bmp/stage/haikei2.bmp", MakeFarBackdrop());
    Save("bmp/character/kyara2.bmp", MakeCharacter(POSE_IDLE_1));
    Save("bmp/character/kyara3.bmp", MakeCharacter(POSE_IDLE_2));
    Save("bmp/character/kyara.bmp", MakeCharacter(POSE_FIRING));
    Save("bmp/character/kousenju2.bmp", MakeGun());
    Save("bmp/character/bee.bmp", MakeBeeSheet());
    Save("bmp/lazer/cursor1.bmp", MakeCursor());
    Save("bmp/lazer/lazer.bmp", MakeBeam());
    Save("bmp/lazer/hansya.bmp", MakeMuzzleFlash());
    Save("bmp/lazer/hansya2.bmp", MakeImpactSpark());
    for (int k = 0; k < CURTAIN_PICTURES; k++)
        Save("bmp/curtain/" + std::to_string(k + 1) + ".bmp", MakeCurtain(k));
    MakeTitleFrames([](int k, const Picture& pic) {
        Save("bmp/curtain/" + std::to_string(k + 51) + ".bmp", pic);
    });
    Save("bmp/curtain/a.bmp", MakeTitleLogo());
    Save("bmp/curtain/start.bmp", MakeStartButton());
    Save("bmp/curtain/END.bmp", MakeEndButton());
    Save("bmp/curtain/clear.bmp", MakeResultsBackground());
    Save("bmp/curtain/white.bmp", MakeWhite());
}

void MakeSounds()
{
    SaveBytes("se/newSE.wav", MakeShotWav());
    SaveBytes("se/se_tavelkorinsu_system24.wav", MakeClickWav());
    SaveBytes("se/checkpoint.wav", MakeCheckpointWav());
    SaveBytes("se/death.wav", MakeDeathWav());
    SaveBytes("se/goal.wav", MakeGoalWav());
    SaveBytes("se/tw044.mp3", MakeTitleMusicMp3());
    SaveBytes("se/nv_24.mp3", MakeStageMusicMp3());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: gendata DATA_DIR [pictures|sounds|scores]...\n");
        return 64;
    }
    root = argv[1];
    bool pictures = argc == 2, sounds = argc == 2, scores = argc == 2;
    for (int i = 2; i < argc; i++) {
        std::string part = argv[i];
        if (part == "pictures")
            pictures = true;
        else if (part == "sounds")
            sounds = true;
        else if (part == "scores")
            scores = true;
        else {
            std::fprintf(stderr, "gendata: unknown part %s\n", argv[i]);
            return 64;
        }
    }
    if (pictures)
        MakePictures();
    if (sounds)
        MakeSounds();
    if (scores)
        WriteScoreFileIfAbsent();
    return failures ? 1 : 0;
}
