// Data\Fonts\<name>.fnt: a font's metrics, loaded through the font list; then every byte is
// measured and built as a text, centred over several lines.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/PMMObject.h"
#include "interface/PFontManager.h"
#include "Render/PGameObject.h"
#include "Render/PRenderObject.h"
#include "support/FuzzFolder.h"

namespace {

const char kList[] = "f\t2.0\t0\t1\n";

std::string EveryByte() {
    std::string text;
    for (int c = 1; c < 256; ++c) text += static_cast<char>(c);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        fuzz::EnterTemporaryFolder();
        fuzz::WriteFile("data/fonts/fonts.dat", kList);
        return true;
    }();
    (void)ready;
    static const std::string text = EveryByte();
    fuzz::WriteFile("data/fonts/f.fnt", data, size);
    {
        CPFontManager fonts;
        fonts.Load();
        TPtr<CPGameObject> object(new CPGameObject("text"));
        object->SetAttachment(CPGameObject::kMesh, new CPRenderObject(object.Get()));
        fonts.MeasureText("f", text);
        fonts.MakeText(object.Get(), 0.0f, 0.0f, "f", text, true);
    }
    CollectGarbage();
    return 0;
}
