#include "platform/gfx/EffectParser.h"

#include <array>
#include <cctype>
#include <optional>

#include "platform/gfx/RenderStates.h"

namespace platform::gfx {
namespace {

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// --- Values ----------------------------------------------------------------------------------

enum class ValueType { Bool, Compare, Cull, Blend, BlendOp, Fill, Filter, Address, Op, Arg, Byte, Anisotropy, Colour };

constexpr std::array kCompareNames{"Never", "Less", "Equal", "LessEqual", "Greater", "NotEqual", "GreaterEqual", "Always"};
constexpr std::array kCullNames{"None", "CW", "CCW"};
constexpr std::array kBlendNames{"Zero",      "One",          "SrcColor",  "InvSrcColor", "SrcAlpha",
                                 "InvSrcAlpha", "DestAlpha", "InvDestAlpha", "DestColor", "InvDestColor"};
constexpr std::array kBlendOpNames{"Add", "Subtract", "RevSubtract", "Min", "Max"};
constexpr std::array kFillNames{"Point", "Wireframe", "Solid"};
constexpr std::array kFilterNames{"None", "Point", "Linear", "Anisotropic"};
constexpr std::array kAddressNames{"Wrap", "Mirror", "Clamp"};
constexpr std::array kOpNames{"Disable", "SelectArg1", "SelectArg2", "Modulate", "Add"};
constexpr std::array kArgNames{"Diffuse", "Current", "Texture"};

template <size_t N>
std::optional<uint32_t> FindName(const std::array<const char*, N>& names, std::string_view word)
{
    for (size_t i = 0; i < N; ++i) {
        if (SameName(names[i], word)) return static_cast<uint32_t>(i);
    }
    return std::nullopt;
}

std::optional<uint32_t> ParseNumber(std::string_view word)
{
    if (word.empty()) return std::nullopt;
    int base = 10;
    if (word.size() > 2 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
        base = 16;
        word.remove_prefix(2);
    }
    uint64_t value = 0;
    for (char c : word) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (value > 0xFFFFFFFFu) return std::nullopt;
    }
    return static_cast<uint32_t>(value);
}

std::optional<uint32_t> ParseValue(ValueType type, std::string_view word)
{
    switch (type) {
    case ValueType::Bool:
        if (SameName(word, "true") || word == "1") return 1u;
        if (SameName(word, "false") || word == "0") return 0u;
        return std::nullopt;
    case ValueType::Compare: return FindName(kCompareNames, word);
    case ValueType::Cull: return FindName(kCullNames, word);
    case ValueType::Blend: return FindName(kBlendNames, word);
    case ValueType::BlendOp: return FindName(kBlendOpNames, word);
    case ValueType::Fill: return FindName(kFillNames, word);
    case ValueType::Filter: return FindName(kFilterNames, word);
    case ValueType::Address: return FindName(kAddressNames, word);
    case ValueType::Op: return FindName(kOpNames, word);
    case ValueType::Arg: return FindName(kArgNames, word);
    case ValueType::Byte: {
        const auto n = ParseNumber(word);
        return n && *n <= 255 ? n : std::nullopt;
    }
    case ValueType::Anisotropy: {
        const auto n = ParseNumber(word);
        return n && *n >= 1 && *n <= 16 ? n : std::nullopt;
    }
    case ValueType::Colour: return ParseNumber(word);
    }
    return std::nullopt;
}

// --- State names -----------------------------------------------------------------------------

struct StateName {
    const char* name;
    StateKind kind;
    uint32_t state;
    ValueType type;
};

template <class E>
constexpr uint32_t U(E e)
{
    return static_cast<uint32_t>(e);
}

constexpr StateName kStates[] = {
    {"ZEnable", StateKind::Render, U(RenderState::ZEnable), ValueType::Bool},
    {"ZWriteEnable", StateKind::Render, U(RenderState::ZWriteEnable), ValueType::Bool},
    {"ZFunc", StateKind::Render, U(RenderState::ZFunc), ValueType::Compare},
    {"CullMode", StateKind::Render, U(RenderState::CullMode), ValueType::Cull},
    {"AlphaBlendEnable", StateKind::Render, U(RenderState::AlphaBlendEnable), ValueType::Bool},
    {"SrcBlend", StateKind::Render, U(RenderState::SrcBlend), ValueType::Blend},
    {"DestBlend", StateKind::Render, U(RenderState::DestBlend), ValueType::Blend},
    {"BlendOp", StateKind::Render, U(RenderState::BlendOp), ValueType::BlendOp},
    {"AlphaTestEnable", StateKind::Render, U(RenderState::AlphaTestEnable), ValueType::Bool},
    {"AlphaRef", StateKind::Render, U(RenderState::AlphaRef), ValueType::Byte},
    {"AlphaFunc", StateKind::Render, U(RenderState::AlphaFunc), ValueType::Compare},
    {"FillMode", StateKind::Render, U(RenderState::FillMode), ValueType::Fill},
    {"Lighting", StateKind::Render, U(RenderState::Lighting), ValueType::Bool},
    {"SpecularEnable", StateKind::Render, U(RenderState::SpecularEnable), ValueType::Bool},
    {"Ambient", StateKind::Render, U(RenderState::Ambient), ValueType::Colour},
    {"MinFilter", StateKind::Sampler, U(SamplerState::MinFilter), ValueType::Filter},
    {"MagFilter", StateKind::Sampler, U(SamplerState::MagFilter), ValueType::Filter},
    {"MipFilter", StateKind::Sampler, U(SamplerState::MipFilter), ValueType::Filter},
    {"AddressU", StateKind::Sampler, U(SamplerState::AddressU), ValueType::Address},
    {"AddressV", StateKind::Sampler, U(SamplerState::AddressV), ValueType::Address},
    {"MaxAnisotropy", StateKind::Sampler, U(SamplerState::MaxAnisotropy), ValueType::Anisotropy},
    {"ColorOp", StateKind::TextureStage, U(TextureStageState::ColorOp), ValueType::Op},
    {"ColorArg1", StateKind::TextureStage, U(TextureStageState::ColorArg1), ValueType::Arg},
    {"ColorArg2", StateKind::TextureStage, U(TextureStageState::ColorArg2), ValueType::Arg},
    {"AlphaOp", StateKind::TextureStage, U(TextureStageState::AlphaOp), ValueType::Op},
    {"AlphaArg1", StateKind::TextureStage, U(TextureStageState::AlphaArg1), ValueType::Arg},
    {"AlphaArg2", StateKind::TextureStage, U(TextureStageState::AlphaArg2), ValueType::Arg},
};

const StateName* FindState(std::string_view word)
{
    for (const StateName& state : kStates) {
        if (SameName(state.name, word)) return &state;
    }
    return nullptr;
}

uint32_t IndexLimit(StateKind kind)
{
    switch (kind) {
    case StateKind::Render: return 1;
    case StateKind::Sampler: return kTextureStages;
    case StateKind::TextureStage: return kFixedFunctionStages;
    }
    return 1;
}

// --- Reading ---------------------------------------------------------------------------------

enum class TokenType { Word, Symbol, End };

struct Token {
    TokenType type = TokenType::End;
    std::string_view text;
    int32_t line = 1;
};

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

class Parser {
public:
    Parser(std::string_view text, EffectDescription& out) : text_(text), out_(out) {}

    bool Run(std::string& error)
    {
        Advance();
        while (token_.type != TokenType::End && error_.empty()) TopLevel();
        if (error_.empty() && out_.techniques.empty()) Fail("the effect has no technique");
        if (error_.empty() && !AnyUsableTechnique()) {
            for (size_t i = 0; i < out_.techniques.size(); ++i) {
                error_ += (i > 0 ? "\n" : "") + TechniqueLabel(out_, i) + ": " + out_.techniques[i].error;
            }
        }
        error = error_;
        return error_.empty();
    }

private:
    // Skips blanks and comments; false on an unterminated comment.
    bool SkipSpace()
    {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else if (text_.substr(pos_, 2) == "//") {
                while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
            } else if (text_.substr(pos_, 2) == "/*") {
                const size_t end = text_.find("*/", pos_ + 2);
                if (end == std::string_view::npos) return Fail("a comment is not closed");
                for (size_t i = pos_; i < end; ++i) line_ += text_[i] == '\n' ? 1 : 0;
                pos_ = end + 2;
            } else {
                return true;
            }
        }
        return true;
    }

    void Advance()
    {
        token_ = Token{TokenType::End, {}, line_};
        if (!SkipSpace() || pos_ >= text_.size()) {
            token_.line = line_;
            return;
        }
        token_.line = line_;
        const size_t start = pos_;
        if (IsWordChar(text_[pos_])) {
            while (pos_ < text_.size() && IsWordChar(text_[pos_])) ++pos_;
            token_.type = TokenType::Word;
        } else {
            ++pos_;
            token_.type = TokenType::Symbol;
        }
        token_.text = text_.substr(start, pos_ - start);
    }

    bool Fail(const std::string& what)
    {
        if (error_.empty()) error_ = "line " + std::to_string(token_.line) + ": " + what;
        return false;
    }

    bool IsKeyword(std::string_view word) const { return token_.type == TokenType::Word && SameName(token_.text, word); }
    bool IsSymbol(char c) const { return token_.type == TokenType::Symbol && token_.text[0] == c; }

    bool Expect(char c)
    {
        if (!IsSymbol(c)) return Fail(std::string("'") + c + "' expected");
        Advance();
        return true;
    }

    // A name that GLSL accepts and that does not use the engine's prefix.
    bool TakeName(std::string& name, const char* what)
    {
        if (token_.type != TokenType::Word || std::isdigit(static_cast<unsigned char>(token_.text[0]))) {
            return Fail(std::string(what) + " name expected");
        }
        if (token_.text.substr(0, 3) == "vx_" || token_.text.substr(0, 3) == "gl_") {
            return Fail(std::string("names starting with vx_ or gl_ are the engine's: ") + std::string(token_.text));
        }
        name = token_.text;
        Advance();
        return true;
    }

    void TopLevel()
    {
        if (IsKeyword("texture") || IsKeyword("float")) {
            Parameter();
        } else if (IsKeyword("shared")) {
            Advance();
            EffectDescription::Code code;
            if (CodeBlock(code)) out_.shared.push_back(std::move(code));
        } else if (IsKeyword("vertexshader") || IsKeyword("pixelshader")) {
            Shader();
        } else if (IsKeyword("technique")) {
            Technique();
        } else {
            Fail("unexpected '" + std::string(token_.text) + "'");
        }
    }

    bool NameTaken(const std::string& name) const
    {
        for (const auto& p : out_.parameters) {
            if (p.name == name) return true;
        }
        for (const auto& s : out_.shaders) {
            if (s.name == name) return true;
        }
        return false;
    }

    void Parameter()
    {
        const ParameterType type = IsKeyword("texture") ? ParameterType::Texture : ParameterType::Float;
        Advance();
        std::string name;
        if (!TakeName(name, "parameter")) return;
        if (NameTaken(name)) {
            Fail("'" + name + "' is declared twice");
            return;
        }
        if (type == ParameterType::Texture) {
            uint32_t textures = 0;
            for (const auto& p : out_.parameters) textures += p.type == ParameterType::Texture ? 1 : 0;
            if (textures == kTextureStages) {
                Fail("more than " + std::to_string(kTextureStages) + " textures");
                return;
            }
        }
        if (!Expect(';')) return;
        out_.parameters.push_back({std::move(name), type});
    }

    // The GLSL between balanced braces, taken verbatim.
    bool CodeBlock(EffectDescription::Code& code)
    {
        if (!IsSymbol('{')) return Fail("'{' expected");
        size_t pos = pos_;
        int32_t line = line_;
        code.line = line;
        int depth = 1;
        while (pos < text_.size()) {
            const char c = text_[pos];
            if (text_.substr(pos, 2) == "//") {
                while (pos < text_.size() && text_[pos] != '\n') ++pos;
                continue;
            }
            if (text_.substr(pos, 2) == "/*") {
                const size_t end = text_.find("*/", pos + 2);
                if (end == std::string_view::npos) break;
                for (size_t i = pos; i < end; ++i) line += text_[i] == '\n' ? 1 : 0;
                pos = end + 2;
                continue;
            }
            if (c == '\n') ++line;
            if (c == '{') ++depth;
            if (c == '}' && --depth == 0) {
                code.text = std::string(text_.substr(pos_, pos - pos_));
                pos_ = pos + 1;
                line_ = line;
                Advance();
                return true;
            }
            ++pos;
        }
        return Fail("the code block is not closed");
    }

    void Shader()
    {
        const bool pixel = IsKeyword("pixelshader");
        Advance();
        EffectDescription::Shader shader{{}, pixel, {}};
        if (!TakeName(shader.name, "shader")) return;
        if (NameTaken(shader.name)) {
            Fail("'" + shader.name + "' is declared twice");
            return;
        }
        if (CodeBlock(shader.code)) out_.shaders.push_back(std::move(shader));
    }

    bool AnyUsableTechnique() const
    {
        for (const auto& technique : out_.techniques) {
            if (technique.error.empty()) return true;
        }
        return false;
    }

    void Technique()
    {
        Advance();
        EffectDescription::Technique technique;
        if (token_.type == TokenType::Word && !TakeName(technique.name, "technique")) return;
        if (!IsSymbol('{')) {
            Fail("'{' expected");
            return;
        }
        const size_t bodyStart = pos_;
        const int32_t bodyLine = line_;
        Advance();
        while (IsKeyword("pass") && error_.empty()) Pass(technique);
        if (error_.empty() && technique.passes.empty()) Fail("a technique needs at least one pass");
        if (error_.empty()) Expect('}');
        if (!error_.empty()) {
            // The mistake stays with this technique; reading goes on after its closing brace.
            technique.error = std::move(error_);
            error_.clear();
            technique.passes.clear();
            if (!SkipBody(bodyStart, bodyLine)) {
                error_ = technique.error;
                return;
            }
        }
        out_.techniques.push_back(std::move(technique));
    }

    // Reads again from just after a technique's '{' up to and past its matching '}'; false when
    // the text ends first.
    bool SkipBody(size_t start, int32_t line)
    {
        pos_ = start;
        line_ = line;
        int depth = 1;
        Advance();
        while (token_.type != TokenType::End) {
            if (IsSymbol('{')) ++depth;
            if (IsSymbol('}') && --depth == 0) {
                Advance();
                return true;
            }
            Advance();
        }
        return false;
    }

    void Pass(EffectDescription::Technique& technique)
    {
        Advance();
        EffectDescription::Pass pass;
        if (token_.type == TokenType::Word && !TakeName(pass.name, "pass")) return;
        if (!Expect('{')) return;
        while (token_.type == TokenType::Word && error_.empty()) Assignment(pass);
        if (error_.empty() && Expect('}')) technique.passes.push_back(std::move(pass));
    }

    int32_t FindShader(std::string_view name, bool pixel) const
    {
        for (size_t i = 0; i < out_.shaders.size(); ++i) {
            if (out_.shaders[i].name == name && out_.shaders[i].pixel == pixel) return static_cast<int32_t>(i);
        }
        return -1;
    }

    void Assignment(EffectDescription::Pass& pass)
    {
        const std::string name(token_.text);
        Advance();
        uint32_t index = 0;
        bool indexed = false;
        if (IsSymbol('[')) {
            Advance();
            const auto number = token_.type == TokenType::Word ? ParseNumber(token_.text) : std::nullopt;
            if (!number) {
                Fail("index expected");
                return;
            }
            index = *number;
            indexed = true;
            Advance();
            if (!Expect(']')) return;
        }
        if (!Expect('=')) return;
        if (token_.type != TokenType::Word) {
            Fail("value of " + name + " expected");
            return;
        }
        const std::string value(token_.text);
        Advance();
        if (!Expect(';')) return;

        if (SameName(name, "VertexShader") || SameName(name, "PixelShader")) {
            const bool pixel = SameName(name, "PixelShader");
            const int32_t shader = FindShader(value, pixel);
            if (shader < 0 || indexed) {
                Fail("no " + std::string(pixel ? "pixel" : "vertex") + " shader named '" + value + "'");
                return;
            }
            (pixel ? pass.pixelShader : pass.vertexShader) = shader;
            return;
        }
        const StateName* state = FindState(name);
        if (state == nullptr) {
            Fail("unknown state '" + name + "'");
            return;
        }
        if (index >= IndexLimit(state->kind) || (indexed && state->kind == StateKind::Render)) {
            Fail("index " + std::to_string(index) + " is out of range for " + name);
            return;
        }
        const auto parsed = ParseValue(state->type, value);
        if (!parsed) {
            Fail("'" + value + "' is no value of " + name);
            return;
        }
        pass.states.push_back({state->kind, index, state->state, *parsed});
    }

    std::string_view text_;
    EffectDescription& out_;
    size_t pos_ = 0;
    int32_t line_ = 1;
    Token token_;
    std::string error_;
};

}  // namespace

bool ParseEffect(std::string_view text, EffectDescription& out, std::string& error)
{
    out = EffectDescription{};
    return Parser(text, out).Run(error);
}

std::string TechniqueLabel(const EffectDescription& description, size_t technique)
{
    const std::string& name = description.techniques[technique].name;
    return name.empty() ? "technique " + std::to_string(technique) : "technique '" + name + "'";
}

}  // namespace platform::gfx
