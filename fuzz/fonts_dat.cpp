// Data\Fonts\fonts.dat: the font list, read by the font manager, each line loading its metrics
// (f.fnt exists, other names do not); then a text is measured and built in every font.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "core/PMMObject.h"
#include "interface/PFontManager.h"
#include "Render/PGameObject.h"
#include "Render/PRenderObject.h"
#include "support/FuzzFolder.h"

namespace {

const char kMetrics[] = "width\t64\nheight\t64\nx\t4\ny\t6\nspace\t3\nA\t4\n\xC0\t5\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool ready = [] {
        fuzz::EnterTemporaryFolder();
        fuzz::WriteFile("data/fonts/f.fnt", kMetrics);
        return true;
    }();
    (void)ready;
    fuzz::WriteFile("data/fonts/fonts.dat", data, size);
    {
        CPFontManager fonts;
        fonts.Load();
        TPtr<CPGameObject> text(new CPGameObject("text"));
        text->SetAttachment(CPGameObject::kMesh, new CPRenderObject(text.Get()));
        fonts.MeasureText("f", "A \xC0^A");
        fonts.MakeText(text.Get(), 10.0f, 10.0f, "f", "A \xC0^A^", true);
    }
    CollectGarbage();
    return 0;
}
