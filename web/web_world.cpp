#include "web_world.h"

#include <emscripten.h>

#include <cctype>
#include <cstdlib>

#include "store_text.h"

namespace fw::web {

namespace {

// Local storage through the page: 0 read, 1 missing, 2 storage out of reach. A read
// text is handed back through the page's own allocation.
// clang-format off
EM_JS(int, pageStoreRead, (const char* key, char** text), {
    let value;
    try {
        value = window.localStorage.getItem(UTF8ToString(key));
    } catch (e) {
        return 2;
    }
    if (value === null) return 1;
    const size = lengthBytesUTF8(value) + 1;
    const out = _malloc(size);
    stringToUTF8(value, out, size);
    HEAPU32[text >> 2] = out;
    return 0;
});

// 0 written, 1 storage out of reach, 2 the write refused.
EM_JS(int, pageStoreWrite, (const char* key, const char* text), {
    let storage;
    try {
        storage = window.localStorage;
        if (!storage) return 1;
    } catch (e) {
        return 1;
    }
    try {
        storage.setItem(UTF8ToString(key), UTF8ToString(text));
    } catch (e) {
        return 2;
    }
    return 0;
});

EM_JS(void, pageCuePlay, (int cue), { Module.page.playCue(cue); });
EM_JS(void, pageCueStopAll, (), { Module.page.stopCues(); });
EM_JS(void, pageBeep, (), { Module.page.beep(); });
EM_JS(void, pageStoreError, (const char* message), {
    Module.page.reportStoreError(UTF8ToString(message));
});
EM_JS(int, pageLocalMinutes, (), {
    const now = new Date();
    return now.getHours() * 60 + now.getMinutes();
});
EM_JS(double, pageUtcMillisOfDay, (), { return Date.now() % 86400000; });
// clang-format on

}  // namespace

std::string storageKey(const std::string& section, const std::string& name) {
    std::string key = "Fenwater\\" + section + "\\";
    for (char c : name)
        key.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    return key;
}

int WebStore::ReadInteger(const std::string& section, const std::string& name, int def) {
    char* text = nullptr;
    if (pageStoreRead(storageKey(section, name).c_str(), &text) != 0) return def;
    const auto value = parseIntegerText(text);
    std::free(text);
    return value ? *value : def;
}

void WebStore::WriteInteger(const std::string& section, const std::string& name, int value) {
    switch (pageStoreWrite(storageKey(section, name).c_str(), integerText(value).c_str())) {
        case 1:
            throw createKeyError(section);
        case 2:
            throw setDataError(name);
        default:
            break;
    }
}

void WebCues::Suona(Cue cue) {
    if (on_) pageCuePlay(static_cast<int>(cue));
}

void WebCues::Silenzio() {
    if (on_) pageCueStopAll();
}

LocalTime WebTime::localTime() {
    const int minutes = pageLocalMinutes();
    return LocalTime{minutes / 60, minutes % 60};
}

std::uint32_t WebTime::utcMillisOfDay() {
    return static_cast<std::uint32_t>(pageUtcMillisOfDay());
}

void WebWindow::beep() {
    pageBeep();
}

void WebWindow::reportStoreError(const std::string& message) {
    if (onStoreError) onStoreError();
    pageStoreError(message.c_str());
}

}  // namespace fw::web
