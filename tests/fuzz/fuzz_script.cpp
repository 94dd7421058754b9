// Fuzz target: any bytes as a harness input script. The parser accepts or
// names a bad line in a short printable message; what it accepts is in
// frame order with known keys.
#include <cstdint>
#include <cstdlib>
#include <string>
#include "platform/headless/headless.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    Script script;
    std::string error;
    if (ParseScript(text, &script, &error)) {
        for (size_t i = 0; i < script.actions.size(); i++) {
            const ScriptAction& action = script.actions[i];
            if (action.frame < 0) abort();
            if (i > 0 && script.actions[i - 1].frame > action.frame) abort();
            if ((action.op == SCRIPT_DOWN || action.op == SCRIPT_UP) &&
                (action.key < 0 || action.key > 255))
                abort();
        }
    } else {
        if (error.rfind("line ", 0) != 0) abort();
        // The message quotes a little of the input, printable only.
        if (error.size() > 200) abort();
        for (char c : error)
            if (c < 0x20 || c >= 0x7F) abort();
    }
    return 0;
}
