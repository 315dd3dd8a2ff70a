// Recording fake of the panel operations and of the settings store, for the
// native tests.
#ifndef TARNLIGHT_FAKE_PLATFORM_H
#define TARNLIGHT_FAKE_PLATFORM_H

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "compare/panel.h"
#include "settings/store.h"

// One call the logic made, in order. op is the operation's name
// ("GetText", "SetText", "ShowProgress", "StepProgress", "HideProgress",
// "ResetProgress", "KeepPainted", "Focus", "ErrorBox", "ReadSetting",
// "WriteSetting"); id is the PanelField, or the SettingKey of a store call.
struct PanelCall {
    std::string op;
    int id;
    std::string text;
};

struct FakePlatform {
    std::vector<PanelCall> calls;
    std::map<int, std::string> texts;     // current text of each PanelField
    bool progressVisible = false;
    int progressPosition = 0;
    // The store: (key, value name) -> value; absent means missing.
    std::map<std::pair<int, std::string>, int32_t> store;
    bool recordKeepPainted = false;       // off: a long run would record thousands
};

extern FakePlatform g_fake;

// Fresh fake with empty controls and an empty store.
void ResetFakePlatform();

// Calls of one operation, in order.
std::vector<PanelCall> CallsOf(const std::string &op);

// A dummy panel handle; the fake ignores its value.
PanelWindow FakePanel();

#endif
