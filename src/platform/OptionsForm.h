#pragma once
#include <string>
#include <vector>

namespace platform {

// The drop-down lists, check boxes and preset buttons of the Options dialog.
enum class OptionsList { Resolution, Anisotropy, Antialiasing, Frequency, Bitrate };
enum class OptionsCheck { Bloom, LowResolutionTextures, CompressedTextures };
enum class OptionsPreset { Speed, Balance, Quality };

// What the Options dialog shows and what its controls do: the dialog only displays this form
// and passes every click on to it, then shows the form again.
class OptionsForm {
public:
    virtual ~OptionsForm() = default;

    virtual const std::vector<std::string>& Entries(OptionsList list) const = 0;
    // The selected entry, -1 for none.
    virtual int Selected(OptionsList list) const = 0;
    virtual bool Enabled(OptionsList list) const = 0;
    virtual void Select(OptionsList list, int entry) = 0;

    virtual bool Checked(OptionsCheck box) const = 0;
    virtual bool Enabled(OptionsCheck box) const = 0;
    virtual void SetChecked(OptionsCheck box, bool checked) = 0;

    virtual void ApplyPreset(OptionsPreset preset) = 0;
    // OK: keeps the choices.
    virtual void Accept() = 0;
};

}  // namespace platform
