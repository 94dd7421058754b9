// Fuzz target: any bytes as a recording of a run. The reader refuses with a
// short reason or reads a recording whose text reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "game/recording.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Recording recording;
    std::string why;
    if (!ParseRecording(reinterpret_cast<const char*>(data), size, &recording, &why)) {
        if (why.empty() || why.size() > 200) abort();
        return 0;
    }
    if (recording.frames.size() > RECORDING_MAX_FRAMES || recording.stage < 1 || recording.stage > 4)
        abort();
    std::string text = FormatRecording(recording);
    Recording again;
    if (!ParseRecording(text.data(), text.size(), &again, &why) || FormatRecording(again) != text) abort();
    return 0;
}
