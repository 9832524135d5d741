// The text system: which font files serve a language, and the font handles
// opened from them. No font ships with the program, so each writing system
// has an ordered list of system files (Windows first, then Linux) and every
// list falls back to the default one. Files are only probed when the
// language changes; real handles are opened per size on first use, all
// handles of one file reading it through one shared stream.
#include "text/text_system.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include "text/font_file.h"
#include "text/font_script.h"

// [SECTION] Candidate lists

const FontPair FONTS_CHINESE[3] = {
    {"C:/Windows/Fonts/msyh.ttc", "C:/Windows/Fonts/msyhbd.ttc"},
    {"C:/Windows/Fonts/simhei.ttf", "C:/Windows/Fonts/simhei.ttf"},
    {"/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc", "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"},
};

const FontPair FONTS_JAPANESE[5] = {
    {"C:/Windows/Fonts/YuGothM.ttc", "C:/Windows/Fonts/YuGothB.ttc"},
    {"C:/Windows/Fonts/meiryo.ttc", "C:/Windows/Fonts/meiryob.ttc"},
    {"C:/Windows/Fonts/msgothic.ttc", "C:/Windows/Fonts/msgothic.ttc"},
    {"/usr/share/fonts/truetype/fonts-japanese-gothic.ttf", "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf"},
    {"/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc", "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc"},
};

const FontPair FONTS_ARABIC[4] = {
    {"C:/Windows/Fonts/segoeui.ttf", "C:/Windows/Fonts/segoeuib.ttf"},
    {"C:/Windows/Fonts/arial.ttf", "C:/Windows/Fonts/arialbd.ttf"},
    {"C:/Windows/Fonts/tahoma.ttf", "C:/Windows/Fonts/tahomabd.ttf"},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"},
};

// Windows versions ship Nirmala UI as a collection or as two plain files.
const FontPair FONTS_DEVANAGARI[4] = {
    {"C:/Windows/Fonts/Nirmala.ttc", "C:/Windows/Fonts/NirmalaB.ttc"},
    {"C:/Windows/Fonts/Nirmala.ttf", "C:/Windows/Fonts/NirmalaB.ttf"},
    {"C:/Windows/Fonts/mangal.ttf", "C:/Windows/Fonts/mangal.ttf"},
    {"/usr/share/fonts/truetype/noto/NotoSansDevanagari-Regular.ttf",
     "/usr/share/fonts/truetype/noto/NotoSansDevanagari-Bold.ttf"},
};

const FontPair FONTS_DEFAULT[4] = {
    {"C:/Windows/Fonts/segoeui.ttf", "C:/Windows/Fonts/segoeuib.ttf"},
    {"C:/Windows/Fonts/arial.ttf", "C:/Windows/Fonts/arialbd.ttf"},
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"},
    {"/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
     "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"},
};

namespace {

constexpr uint8_t LANG_CHINESE = 10;
constexpr uint8_t LANG_JAPANESE = 11;
constexpr uint8_t LANG_ARABIC = 12;
constexpr uint8_t LANG_HINDI = 13;

template <int N>
constexpr FontList list_of(const FontPair (&pairs)[N]) {
    return FontList{pairs, N};
}

const FontLists DEFAULT_LISTS = {list_of(FONTS_CHINESE), list_of(FONTS_JAPANESE), list_of(FONTS_ARABIC),
                                 list_of(FONTS_DEVANAGARI), list_of(FONTS_DEFAULT)};
FontLists g_lists = DEFAULT_LISTS;

// [SECTION] Probing

// A handle on the file's shared stream, which is opened on first use (its
// probe); a file that does not open as a font is closed again at once.
TTF_Font* open_font(TextSystem& ts, const std::string& path, int size) {
    if (!ts.ttf_ready) return nullptr;  // no font opens before TTF_Init
    auto it = ts.font_files.find(path);
    const bool first = it == ts.font_files.end();
    if (first) it = ts.font_files.emplace(path, open_font_file(path)).first;
    SDL_RWops*& file = it->second;
    // SDL2_ttf takes the stream's position as the start of the font.
    if (!file || SDL_RWseek(file, 0, RW_SEEK_SET) != 0) return nullptr;
    TTF_Font* font = TTF_OpenFontRW(file, 0, size);
    if (!font && first) {
        SDL_RWclose(file);
        file = nullptr;
    }
    return font;
}

// Whether the file opens as a font; its probe handle is handed to `keep`
// when given (the size-PROBE_POINT_SIZE handle, saving one more opening).
bool file_opens(TextSystem& ts, const char* path, TTF_Font** keep = nullptr) {
    if (!path) return false;
    TTF_Font* f = open_font(ts, path, PROBE_POINT_SIZE);
    if (!f) return false;
    if (keep) *keep = f;
    else TTF_CloseFont(f);
    return true;
}

// First pair whose regular file opens; its bold file, or the regular one again.
bool choose_from(TextSystem& ts, const FontList& list, std::string& regular, std::string& bold,
                 TTF_Font** keep_regular = nullptr) {
    for (int i = 0; i < list.count; ++i) {
        const FontPair& pair = list.pairs[i];
        if (!file_opens(ts, pair.regular, keep_regular)) continue;
        regular = pair.regular;
        // A pair naming one file twice has opened already.
        const bool same = pair.bold && regular == pair.bold;
        bold = same || file_opens(ts, pair.bold) ? pair.bold : pair.regular;
        return true;
    }
    return false;
}

// The chosen regular file's probe handle serves its size from now on.
void keep_probe(TextSystem& ts, TTF_Font* probe) {
    if (!probe) return;
    if (!ts.fonts.emplace(2 * PROBE_POINT_SIZE, probe).second) {
        TTF_CloseFont(probe);
        return;
    }
    apply_font_script(ts, probe);
}

bool choose_from(const FontList& list, TextSystem& ts) {
    TTF_Font* probe = nullptr;
    const bool chosen = choose_from(ts, list, ts.regular_font_path, ts.bold_font_path, &probe);
    keep_probe(ts, probe);
    return chosen;
}

void close_all(std::map<int32_t, TTF_Font*>& fonts) {
    for (auto& entry : fonts)
        if (entry.second) TTF_CloseFont(entry.second);
    fonts.clear();
}

void close_fonts(TextSystem& ts) {
    ts.wrap_cache.clear();
    close_all(ts.fonts);
    close_all(ts.fallback_fonts);
    for (auto& entry : ts.font_files)
        if (entry.second) SDL_RWclose(entry.second);
    ts.font_files.clear();
    ts.fallback_chosen = false;
    ts.fallback_regular_path.clear();
    ts.fallback_bold_path.clear();
}

TTF_Font* open_once(TextSystem& ts, std::map<int32_t, TTF_Font*>& fonts, const std::string& path, int size, bool bold) {
    const int32_t key = 2 * size + (bold ? 1 : 0);
    auto it = fonts.find(key);
    if (it != fonts.end()) return it->second;
    TTF_Font* font = open_font(ts, path, size);
    fonts.emplace(key, font);
    return font;
}

}  // namespace

// [SECTION] Lists in use

const FontLists& default_font_lists() { return DEFAULT_LISTS; }

void set_font_lists(const FontLists* lists) { g_lists = lists ? *lists : DEFAULT_LISTS; }

// [SECTION] Lifecycle

bool load_fonts_for_language(TextSystem& ts, uint8_t language, std::string* diagnostics) {
    ts.shaping = language == LANG_ARABIC  ? ShapingMode::Arabic
                 : language == LANG_HINDI ? ShapingMode::Devanagari
                                          : ShapingMode::None;
    ts.font_script_decided = ts.font_shapes_script = false;
    ts.regular_font_path.clear();
    ts.bold_font_path.clear();
    ts.wrap_cache.clear();
    const FontList* list = &g_lists.fallback;
    switch (language) {
    case LANG_CHINESE: list = &g_lists.chinese; break;
    case LANG_JAPANESE: list = &g_lists.japanese; break;
    case LANG_ARABIC: list = &g_lists.arabic; break;
    case LANG_HINDI: list = &g_lists.devanagari; break;
    default: break;
    }
    ts.language = language;
    if (choose_from(*list, ts)) return true;
    if (!choose_from(g_lists.fallback, ts)) return false;
    if (diagnostics) {
        *diagnostics += "No font for this language, using ";
        *diagnostics += ts.regular_font_path;
        *diagnostics += "\n";
    }
    return true;
}

bool text_init(TextSystem& ts, std::string* diagnostics, uint8_t language) {
    if (TTF_Init() != 0) {
        if (diagnostics) {
            *diagnostics += "TTF_Init failed: ";
            *diagnostics += SDL_GetError();
            *diagnostics += "\n";
        }
        return false;
    }
    ts.ttf_ready = true;
    load_fonts_for_language(ts, language, diagnostics);
    if (!ts.regular_font_path.empty()) return true;
    if (diagnostics) *diagnostics += "No usable font found. Text will not be drawn.\n";
    return false;
}

bool fonts_serve(const TextSystem& ts, uint8_t language) {
    return language == ts.language && !ts.regular_font_path.empty();
}

void switch_fonts(TextSystem& ts, uint8_t language) {
    close_fonts(ts);
    load_fonts_for_language(ts, language, nullptr);
}

void release_fonts(TextSystem& ts) {
    close_fonts(ts);
    if (ts.ttf_ready) TTF_Quit();
    ts.ttf_ready = false;
    ts.regular_font_path.clear();
    ts.bold_font_path.clear();
}

// [SECTION] Handles per size

TTF_Font* font_for(TextSystem& ts, int size, bool bold) {
    const size_t known = ts.fonts.size();
    TTF_Font* font = open_once(ts, ts.fonts, bold ? ts.bold_font_path : ts.regular_font_path, size, bold);
    if (ts.fonts.size() != known) apply_font_script(ts, font);
    return font;
}

TTF_Font* fallback_font_for(TextSystem& ts, int size, bool bold) {
    if (!ts.fallback_chosen) {
        // Probed only when a text first needs it, so a language whose font
        // covers everything never opens more files than its own.
        ts.fallback_chosen = true;
        if (ts.ttf_ready && choose_from(ts, g_lists.fallback, ts.fallback_regular_path, ts.fallback_bold_path) &&
            ts.fallback_regular_path == ts.regular_font_path) {
            ts.fallback_regular_path.clear();
            ts.fallback_bold_path.clear();
        }
    }
    if (ts.fallback_regular_path.empty()) return nullptr;
    return open_once(ts, ts.fallback_fonts, bold ? ts.fallback_bold_path : ts.fallback_regular_path, size, bold);
}
