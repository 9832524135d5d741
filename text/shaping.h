// Script shaping and visual order: turns a logical UTF-8 line into the text
// whose plain left-to-right drawing looks right. Arabic gets contextual
// presentation forms and right-to-left run order; the Devanagari vowel sign I
// moves before its consonant. Runs on every measurement, so it is a few
// linear passes over small reused buffers.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "text/text_system.h"

enum class DirClass : uint8_t { Ltr = 0, Rtl = 1, Neutral = 2 };

struct DirRun {
    DirClass cls;
    uint32_t first;
    uint32_t end;  // exclusive
};

struct ArabicForm {
    uint32_t letter, isolated, final_form, initial, medial;
    char type;  // 'U', 'R' or 'D'
};
extern const ArabicForm ARABIC_FORMS[36];

struct LamAlef {
    uint32_t alef, isolated, final_form;
};
extern const LamAlef LAM_ALEF_LIGATURES[4];

DirClass direction_class(uint32_t cp);
std::string encode_utf8(const std::vector<uint32_t>& cps);
std::string shape_text(const std::string& text, ShapingMode mode);
