// The scenes' changes, and each step handed to the scene of its kind.
#include "game/scenes.h"

#include <utility>

SceneChange Stay() { return SceneChange{}; }

SceneChange Push(Scene scene)
{
    SceneChange change;
    change.kind = SCENE_PUSH;
    change.next = std::make_unique<Scene>(std::move(scene));
    return change;
}

SceneChange Replace(Scene scene)
{
    SceneChange change = Push(std::move(scene));
    change.kind = SCENE_REPLACE;
    return change;
}

SceneChange Pop(int result)
{
    SceneChange change;
    change.kind = SCENE_POP;
    change.result = result;
    return change;
}

SceneChange EndScenes()
{
    SceneChange change;
    change.kind = SCENE_END;
    return change;
}

namespace {

// Scenes that neither start anything when entered nor wait on one above.
template <typename S>
SceneChange NothingToResume(S&, int, FrameClock&) { return Stay(); }

}  // namespace

SceneChange EnterScene(Scene& scene, FrameClock& clock)
{
    struct {
        FrameClock& clock;
        SceneChange operator()(QuestionScene& s) { return EnterQuestion(s, clock); }
        SceneChange operator()(TitleScene& s) { return EnterTitle(s, clock); }
        SceneChange operator()(OpeningCurtainScene& s) { return EnterOpeningCurtain(s, clock); }
        SceneChange operator()(CountdownScene& s) { return EnterCountdown(s, clock); }
        SceneChange operator()(PlayScene& s) { return EnterPlay(s, clock); }
        SceneChange operator()(ResultsScene& s) { return EnterResults(s, clock); }
        SceneChange operator()(ReplayScene& s) { return EnterReplay(s, clock); }
        SceneChange operator()(PauseScene& s) { return EnterPause(s, clock); }
        SceneChange operator()(SettingsScene& s) { return EnterSettings(s, clock); }
        SceneChange operator()(ControlsScene& s) { return EnterControls(s, clock); }
        SceneChange operator()(OnlinePageScene& s) { return EnterOnlinePage(s, clock); }
        SceneChange operator()(StageSelectScene& s) { return EnterStageSelect(s, clock); }
        SceneChange operator()(ClosingScene& s) { return EnterClosing(s, clock); }
        SceneChange operator()(EditorScene& s) { return EnterEditor(s, clock); }
    } enter{clock};
    return std::visit(enter, scene.value);
}

void StepScene(Scene& scene, const FrameClock& clock, FrameEnd* end)
{
    struct {
        const FrameClock& clock;
        FrameEnd* end;
        void operator()(QuestionScene& s) { StepQuestion(s, clock, end); }
        void operator()(TitleScene& s) { StepTitle(s, clock, end); }
        void operator()(OpeningCurtainScene& s) { StepOpeningCurtain(s, clock, end); }
        void operator()(CountdownScene& s) { StepCountdown(s, clock, end); }
        void operator()(PlayScene& s) { StepPlayScene(s, clock, end); }
        void operator()(ResultsScene& s) { StepResults(s, clock, end); }
        void operator()(ReplayScene& s) { StepReplay(s, clock, end); }
        void operator()(PauseScene& s) { StepPause(s, clock, end); }
        void operator()(SettingsScene& s) { StepSettings(s, clock, end); }
        void operator()(ControlsScene& s) { StepControls(s, clock, end); }
        void operator()(OnlinePageScene& s) { StepOnlinePage(s, clock, end); }
        void operator()(StageSelectScene& s) { StepStageSelect(s, clock, end); }
        void operator()(ClosingScene& s) { StepClosing(s, clock, end); }
        void operator()(EditorScene& s) { StepEditor(s, clock, end); }
    } step{clock, end};
    std::visit(step, scene.value);
}

SceneChange AfterFrame(Scene& scene, FrameClock& clock)
{
    struct {
        FrameClock& clock;
        SceneChange operator()(QuestionScene& s) { return AfterQuestionFrame(s, clock); }
        SceneChange operator()(TitleScene& s) { return AfterTitleFrame(s, clock); }
        SceneChange operator()(OpeningCurtainScene& s) { return AfterOpeningCurtainFrame(s, clock); }
        SceneChange operator()(CountdownScene& s) { return AfterCountdownFrame(s, clock); }
        SceneChange operator()(PlayScene& s) { return AfterPlayFrame(s, clock); }
        SceneChange operator()(ResultsScene& s) { return AfterResultsFrame(s, clock); }
        SceneChange operator()(ReplayScene& s) { return AfterReplayFrame(s, clock); }
        SceneChange operator()(PauseScene& s) { return AfterPauseFrame(s, clock); }
        SceneChange operator()(SettingsScene& s) { return AfterSettingsFrame(s, clock); }
        SceneChange operator()(ControlsScene& s) { return AfterControlsFrame(s, clock); }
        SceneChange operator()(OnlinePageScene& s) { return AfterOnlinePageFrame(s, clock); }
        SceneChange operator()(StageSelectScene& s) { return AfterStageSelectFrame(s, clock); }
        SceneChange operator()(ClosingScene& s) { return AfterClosingFrame(s, clock); }
        SceneChange operator()(EditorScene& s) { return AfterEditorFrame(s, clock); }
    } after{clock};
    return std::visit(after, scene.value);
}

SceneChange ResumeScene(Scene& scene, int result, FrameClock& clock)
{
    struct {
        int result;
        FrameClock& clock;
        SceneChange operator()(TitleScene& s) { return ResumeTitle(s, result, clock); }
        SceneChange operator()(PlayScene& s) { return ResumePlay(s, result, clock); }
        SceneChange operator()(QuestionScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(OpeningCurtainScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(CountdownScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(ResultsScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(ReplayScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(PauseScene& s) { return ResumePause(s, result, clock); }
        SceneChange operator()(SettingsScene& s) { return ResumeSettings(s, result, clock); }
        SceneChange operator()(ControlsScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(OnlinePageScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(StageSelectScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(ClosingScene& s) { return NothingToResume(s, result, clock); }
        SceneChange operator()(EditorScene& s) { return ResumeEditor(s, result, clock); }
    } resume{result, clock};
    return std::visit(resume, scene.value);
}

Scene FirstScene() { return Scene{TitleScene{}}; }
