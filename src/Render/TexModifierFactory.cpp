#include "Render/TexModifierFactory.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "Render/PAnimTexModifier.h"
#include "Render/PFadeModifier.h"
#include "Render/PFlickModifier.h"
#include "Render/PMovingTexModifier.h"
#include "core/TextHelpers.h"

namespace {

// The leading number of text, or 0 when it starts with none (as the C conversions read it).
// Nothing when the number does not fit the type.
template <class T>
std::optional<T> ReadLeadingNumber(const std::string& text)
{
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) return std::nullopt;
    return error == std::errc() ? value : T{};
}

// The arguments as numbers of the kinds the keyword takes ('i' an integer, 'f' a real).
struct Arguments {
    explicit Arguments(const std::vector<std::string>& texts) : texts(texts) {}

    bool Read(const char* kinds)
    {
        if (texts.size() != std::char_traits<char>::length(kinds)) return false;
        for (size_t i = 0; i < texts.size(); ++i) {
            if (!IsNumber(texts[i]) || !ReadOne(kinds[i], texts[i], i)) return false;
        }
        return true;
    }

    bool ReadOne(char kind, const std::string& text, size_t i)
    {
        if (kind == 'i') {
            const auto value = ReadLeadingNumber<int32_t>(text);
            integers[i] = value.value_or(0);
            return value.has_value();
        }
        const auto value = ReadLeadingNumber<double>(text);
        if (!value || std::fabs(*value) > kMaxTexModifierRate) return false;
        reals[i] = static_cast<float>(*value);
        return true;
    }

    const std::vector<std::string>& texts;
    int32_t integers[3] = {};
    float reals[3] = {};
};

std::unique_ptr<IPTexModifier> CreateAtlas(Arguments& a)
{
    if (!a.Read("iif") || !CPAnimTexModifier::IsValidGrid(a.integers[0], a.integers[1])) return nullptr;
    return std::make_unique<CPAnimTexModifier>(a.integers[0], a.integers[1], a.reals[2]);
}

std::unique_ptr<IPTexModifier> CreateFlick(Arguments& a)
{
    if (!a.Read("fii")) return nullptr;
    return std::make_unique<CPFlickModifier>(a.reals[0], a.integers[1], a.integers[2]);
}

std::unique_ptr<IPTexModifier> CreateMovingTexture(Arguments& a)
{
    if (!a.Read("ff")) return nullptr;
    return std::make_unique<CPMovingTexModifier>(a.reals[0], a.reals[1]);
}

std::unique_ptr<IPTexModifier> CreateFade(Arguments& a)
{
    if (!a.Read("f")) return nullptr;
    return std::make_unique<CPFadeModifier>(a.reals[0]);
}

}  // namespace

std::unique_ptr<IPTexModifier> CreateTexModifier(std::string keyword, const std::vector<std::string>& arguments)
{
    StrToLower(keyword);
    Arguments a(arguments);
    if (keyword == "anim") return CreateAtlas(a);
    if (keyword == "flick") return CreateFlick(a);
    if (keyword == "movingtex") return CreateMovingTexture(a);
    if (keyword == "fade") return CreateFade(a);
    return nullptr;
}
