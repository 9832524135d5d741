// Script shaping and visual order. SDL2_ttf draws code points left to right,
// one glyph each; this file rewrites a logical line so that such a drawing
// reads correctly: Arabic gets its contextual presentation forms and a
// right-to-left line order, Hindi gets the vowel sign I in front of its
// consonant. The working buffers are thread-local and keep their capacity,
// so a measurement allocates nothing but its result string.
#include "text/shaping.h"

#include "text/utf8.h"

// [SECTION] Tables

const ArabicForm ARABIC_FORMS[36] = {
    {0x0621, 0xFE80, 0xFE80, 0xFE80, 0xFE80, 'U'}, {0x0622, 0xFE81, 0xFE82, 0xFE81, 0xFE82, 'R'},
    {0x0623, 0xFE83, 0xFE84, 0xFE83, 0xFE84, 'R'}, {0x0624, 0xFE85, 0xFE86, 0xFE85, 0xFE86, 'R'},
    {0x0625, 0xFE87, 0xFE88, 0xFE87, 0xFE88, 'R'}, {0x0626, 0xFE89, 0xFE8A, 0xFE8B, 0xFE8C, 'D'},
    {0x0627, 0xFE8D, 0xFE8E, 0xFE8D, 0xFE8E, 'R'}, {0x0628, 0xFE8F, 0xFE90, 0xFE91, 0xFE92, 'D'},
    {0x0629, 0xFE93, 0xFE94, 0xFE93, 0xFE94, 'R'}, {0x062A, 0xFE95, 0xFE96, 0xFE97, 0xFE98, 'D'},
    {0x062B, 0xFE99, 0xFE9A, 0xFE9B, 0xFE9C, 'D'}, {0x062C, 0xFE9D, 0xFE9E, 0xFE9F, 0xFEA0, 'D'},
    {0x062D, 0xFEA1, 0xFEA2, 0xFEA3, 0xFEA4, 'D'}, {0x062E, 0xFEA5, 0xFEA6, 0xFEA7, 0xFEA8, 'D'},
    {0x062F, 0xFEA9, 0xFEAA, 0xFEA9, 0xFEAA, 'R'}, {0x0630, 0xFEAB, 0xFEAC, 0xFEAB, 0xFEAC, 'R'},
    {0x0631, 0xFEAD, 0xFEAE, 0xFEAD, 0xFEAE, 'R'}, {0x0632, 0xFEAF, 0xFEB0, 0xFEAF, 0xFEB0, 'R'},
    {0x0633, 0xFEB1, 0xFEB2, 0xFEB3, 0xFEB4, 'D'}, {0x0634, 0xFEB5, 0xFEB6, 0xFEB7, 0xFEB8, 'D'},
    {0x0635, 0xFEB9, 0xFEBA, 0xFEBB, 0xFEBC, 'D'}, {0x0636, 0xFEBD, 0xFEBE, 0xFEBF, 0xFEC0, 'D'},
    {0x0637, 0xFEC1, 0xFEC2, 0xFEC3, 0xFEC4, 'D'}, {0x0638, 0xFEC5, 0xFEC6, 0xFEC7, 0xFEC8, 'D'},
    {0x0639, 0xFEC9, 0xFECA, 0xFECB, 0xFECC, 'D'}, {0x063A, 0xFECD, 0xFECE, 0xFECF, 0xFED0, 'D'},
    {0x0641, 0xFED1, 0xFED2, 0xFED3, 0xFED4, 'D'}, {0x0642, 0xFED5, 0xFED6, 0xFED7, 0xFED8, 'D'},
    {0x0643, 0xFED9, 0xFEDA, 0xFEDB, 0xFEDC, 'D'}, {0x0644, 0xFEDD, 0xFEDE, 0xFEDF, 0xFEE0, 'D'},
    {0x0645, 0xFEE1, 0xFEE2, 0xFEE3, 0xFEE4, 'D'}, {0x0646, 0xFEE5, 0xFEE6, 0xFEE7, 0xFEE8, 'D'},
    {0x0647, 0xFEE9, 0xFEEA, 0xFEEB, 0xFEEC, 'D'}, {0x0648, 0xFEED, 0xFEEE, 0xFEED, 0xFEEE, 'R'},
    {0x0649, 0xFEEF, 0xFEF0, 0xFEEF, 0xFEF0, 'R'}, {0x064A, 0xFEF1, 0xFEF2, 0xFEF3, 0xFEF4, 'D'},
};

const LamAlef LAM_ALEF_LIGATURES[4] = {
    {0x0622, 0xFEF5, 0xFEF6},
    {0x0623, 0xFEF7, 0xFEF8},
    {0x0625, 0xFEF9, 0xFEFA},
    {0x0627, 0xFEFB, 0xFEFC},
};

// [SECTION] Character classes

namespace {

constexpr uint32_t LAM = 0x0644;
constexpr uint32_t VOWEL_SIGN_I = 0x093F;
constexpr uint32_t NUKTA = 0x093C;

bool is_arabic_mark(uint32_t cp) { return (cp >= 0x064B && cp <= 0x065F) || cp == 0x0670; }

bool is_devanagari_consonant(uint32_t cp) { return cp >= 0x0915 && cp <= 0x0939; }

// The table holds two contiguous code point ranges in order, so a row is
// found by arithmetic instead of a scan.
const ArabicForm* arabic_form(uint32_t cp) {
    if (cp >= 0x0621 && cp <= 0x063A) return &ARABIC_FORMS[cp - 0x0621];
    if (cp >= 0x0641 && cp <= 0x064A) return &ARABIC_FORMS[26 + (cp - 0x0641)];
    return nullptr;
}

const LamAlef* lam_alef(uint32_t alef) {
    for (const LamAlef& row : LAM_ALEF_LIGATURES)
        if (row.alef == alef) return &row;
    return nullptr;
}

// The paired brackets and quotation marks of Unicode's bidi mirroring that
// the catalogue can hold; a right-to-left run draws each as its partner.
constexpr uint32_t MIRROR_PAIRS[][2] = {
    {'(', ')'}, {'<', '>'}, {'[', ']'}, {'{', '}'}, {0x00AB, 0x00BB}, {0x2039, 0x203A},
};

uint32_t mirrored(uint32_t cp) {
    for (const auto& pair : MIRROR_PAIRS) {
        if (cp == pair[0]) return pair[1];
        if (cp == pair[1]) return pair[0];
    }
    return cp;
}

// [SECTION] UTF-8

void decode_utf8(const std::string& text, std::vector<uint32_t>& out) {
    out.clear();
    for (size_t pos = 0; pos < text.size();) {
        const Utf8Char c = utf8_decode(text, pos);
        out.push_back(c.code);
        pos += c.length;
    }
}

// [SECTION] Devanagari

void reorder_devanagari(const std::vector<uint32_t>& in, std::vector<uint32_t>& out) {
    out.clear();
    for (uint32_t cp : in) {
        if (cp != VOWEL_SIGN_I) {
            out.push_back(cp);
            continue;
        }
        const size_t n = out.size();
        size_t at = n;  // append unless a consonant (with its nukta) takes it in front
        if (n >= 2 && out[n - 1] == NUKTA) {
            if (is_devanagari_consonant(out[n - 2])) at = n - 2;
        } else if (n >= 1 && is_devanagari_consonant(out[n - 1])) {
            at = n - 1;
        }
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), cp);
    }
}

// [SECTION] Arabic contextual forms

// Joining looks at the logical neighbours, skipping marks, never at forms
// already chosen; marks pass through in place.
void arabic_forms(const std::vector<uint32_t>& in, std::vector<uint32_t>& out) {
    out.clear();
    const size_t n = in.size();
    const ArabicForm* before = nullptr;  // table row of the last non-mark; null if not a letter
    size_t i = 0;
    while (i < n) {
        const uint32_t cp = in[i];
        const ArabicForm* form = arabic_form(cp);
        if (!form) {
            out.push_back(cp);
            if (!is_arabic_mark(cp)) before = nullptr;
            ++i;
            continue;
        }
        const bool joins_before = before && before->type == 'D' && form->type != 'U';
        size_t next = i + 1;
        if (form->type == 'D') {
            size_t q = i + 1;
            while (q < n && is_arabic_mark(in[q])) ++q;
            const LamAlef* lig = (cp == LAM && q == i + 1 && q < n) ? lam_alef(in[q]) : nullptr;
            if (lig) {
                out.push_back(joins_before ? lig->final_form : lig->isolated);
                next = i + 2;
                // The consumed alef is the next letter's neighbour, and it joins nothing after it.
                before = arabic_form(in[i + 1]);
            } else {
                const ArabicForm* after = q < n ? arabic_form(in[q]) : nullptr;
                const bool joins_after = after && after->type != 'U';
                if (joins_before && joins_after) out.push_back(form->medial);
                else if (joins_before) out.push_back(form->final_form);
                else if (joins_after) out.push_back(form->initial);
                else out.push_back(form->isolated);
                before = form;
            }
        } else {
            out.push_back(joins_before ? form->final_form : form->isolated);
            before = form;
        }
        i = next;
    }
}

// [SECTION] Visual order

// Neutrals take the class of their strong neighbours (judged on the original
// classes); a disagreement or no strong neighbour at all leans right-to-left.
void resolve_neutrals(const std::vector<uint32_t>& s, std::vector<uint8_t>& cls) {
    const size_t n = s.size();
    constexpr uint8_t NONE = 3;
    constexpr uint8_t RTL = static_cast<uint8_t>(DirClass::Rtl);
    constexpr uint8_t NEUTRAL = static_cast<uint8_t>(DirClass::Neutral);
    cls.resize(n);
    for (size_t i = 0; i < n; ++i) cls[i] = static_cast<uint8_t>(direction_class(s[i]));
    // Forward: each neutral remembers its strong predecessor (NONE when there is none)
    // in the high nibble, keeping the low nibble as the neutral marker.
    uint8_t prev = NONE;
    for (size_t i = 0; i < n; ++i) {
        if (cls[i] == NEUTRAL) cls[i] = static_cast<uint8_t>(NEUTRAL | (prev << 4));
        else prev = cls[i];
    }
    uint8_t next = NONE;
    for (size_t i = n; i-- > 0;) {
        const uint8_t c = cls[i];
        if ((c & 0x0F) != NEUTRAL) {
            next = c;
            continue;
        }
        const uint8_t p = static_cast<uint8_t>(c >> 4);
        uint8_t r;
        if (p != NONE && next != NONE) r = p == next ? p : RTL;
        else if (p != NONE) r = p;
        else if (next != NONE) r = next;
        else r = RTL;
        cls[i] = r;
    }
}

uint32_t opening_partner(uint32_t cp) {
    switch (cp) {
    case ')': return '(';
    case ']': return '[';
    case '}': return '{';
    default: return 0;
    }
}

// A closing bracket takes the side of its opening partner, so "[F5]" after
// an Arabic word stays one pair instead of losing its last bracket to the
// Latin run. Pairs nest; a closer without an open partner is left alone.
void pair_brackets(const std::vector<uint32_t>& s, std::vector<uint8_t>& cls, std::vector<uint32_t>& open) {
    open.clear();
    for (uint32_t i = 0; i < s.size(); ++i) {
        const uint32_t cp = s[i];
        if (cp == '(' || cp == '[' || cp == '{') {
            open.push_back(i);
            continue;
        }
        const uint32_t partner = opening_partner(cp);
        if (!partner) continue;
        for (size_t k = open.size(); k-- > 0;) {
            if (s[open[k]] != partner) continue;
            cls[i] = cls[open[k]];
            open.resize(k);
            break;
        }
    }
}

void visual_order(const std::vector<uint32_t>& s, std::vector<uint8_t>& cls, std::vector<uint32_t>& open,
                  std::vector<DirRun>& runs, std::vector<uint32_t>& out) {
    resolve_neutrals(s, cls);
    pair_brackets(s, cls, open);
    runs.clear();
    const uint32_t n = static_cast<uint32_t>(s.size());
    for (uint32_t i = 0; i < n;) {
        uint32_t j = i + 1;
        while (j < n && cls[j] == cls[i]) ++j;
        runs.push_back({static_cast<DirClass>(cls[i]), i, j});
        i = j;
    }
    out.clear();
    for (size_t r = runs.size(); r-- > 0;) {
        const DirRun& run = runs[r];
        if (run.cls == DirClass::Ltr) {
            out.insert(out.end(), s.begin() + run.first, s.begin() + run.end);
        } else {
            for (uint32_t k = run.end; k-- > run.first;) out.push_back(mirrored(s[k]));
        }
    }
}

struct ShapeBuffers {
    std::vector<uint32_t> decoded, work, out, open_brackets;
    std::vector<uint8_t> classes;
    std::vector<DirRun> runs;
};

}  // namespace

// [SECTION] Public entry points

DirClass direction_class(uint32_t cp) {
    if (cp >= 0x0590 && cp <= 0x08FF) return is_arabic_mark(cp) ? DirClass::Neutral : DirClass::Rtl;
    if (cp >= 0xFB50 && cp <= 0xFEFF) return DirClass::Rtl;
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') || (cp >= '0' && cp <= '9')) return DirClass::Ltr;
    if (cp >= 0x00C0 && cp <= 0x024F) return DirClass::Ltr;
    return DirClass::Neutral;
}

std::string encode_utf8(const std::vector<uint32_t>& cps) {
    std::string out;
    out.reserve(cps.size() * 3);
    for (uint32_t cp : cps) utf8_append(out, cp);
    return out;
}

std::string shape_text(const std::string& text, ShapingMode mode) {
    if (mode == ShapingMode::None || text.empty()) return text;
    thread_local ShapeBuffers b;
    decode_utf8(text, b.decoded);
    const std::vector<uint32_t>* result = &b.out;
    if (mode == ShapingMode::Devanagari) {
        reorder_devanagari(b.decoded, b.out);
    } else if (mode == ShapingMode::Arabic) {
        arabic_forms(b.decoded, b.work);
        visual_order(b.work, b.classes, b.open_brackets, b.runs, b.out);
    } else {
        result = &b.decoded;  // an unknown mode only normalises the encoding
    }
    std::string out;
    out.reserve(result->size() * 3);
    for (uint32_t cp : *result) utf8_append(out, cp);
    return out;
}
