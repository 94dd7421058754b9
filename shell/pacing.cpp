// Frame pacing and the per-frame replay record.
#include <string>

#include "platform/platform.h"
#include "shell/shell.h"

uint32_t WaitNextFrame(uint32_t previousStart)
{
    PlatformWaitFrame(previousStart, FRAME_PERIOD_MS);
    return PlatformTimeMs();
}

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
