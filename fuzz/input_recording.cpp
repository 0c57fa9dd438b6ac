// An input recording (VX_REPLAY): the input is the file. A recording that reads writes to bytes
// that read back to the same recording, and playing all of it into the input state and the
// message queue is safe.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/EventPump.h"
#include "platform/InputRecording.h"
#include "platform/InputState.h"
#include "platform/WindowMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::InputRecording recording;
    std::string error;
    if (!platform::DecodeInputRecording(data, size, recording, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    const std::vector<uint8_t> written = platform::EncodeInputRecording(recording);
    platform::InputRecording again;
    if (!platform::DecodeInputRecording(written.data(), written.size(), again, error)) std::abort();
    if (platform::EncodeInputRecording(again) != written) std::abort();
    for (const platform::RecordedEvent& event : recording.events) platform::ApplyInputEvent(event.event);
    platform::GetInputState().Clear();
    platform::GetMessageQueue().Clear();
    return 0;
}
