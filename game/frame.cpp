// The end of a scene's frame and its record in the replay trace.
#include "game/frame.h"

#include <string>

#include "game/assets.h"
#include "game/scenes.h"
#include "platform/platform.h"
#include "shell/shell.h"

void TraceFrame(const char* sceneName, const char* extraFields)
{
    if (!PlatformTracing()) return;
    std::string fields = "\"scene\":\"";
    fields += sceneName;
    fields += "\",\"sceneId\":" + std::to_string(sceneId);
    fields += ",\"stageNo\":" + std::to_string(stageNo);
    if (extraFields != nullptr && extraFields[0] != '\0') {
        fields += ',';
        fields += extraFields;
    }
    PlatformTraceFrame(fields.c_str());
}

void FinishFrame(const char* sceneName, const char* extraFields)
{
    PresentSurface(screenDC, backBuffer);
    TraceFrame(sceneName, extraFields);
    PumpMessages();
}
