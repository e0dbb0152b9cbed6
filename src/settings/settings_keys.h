#pragma once

#include <QString>

#include "common/one_row_per_value.h"

namespace platform {
struct CoreServices;
}

namespace settings {

// Every setting lives under this application and section.
inline constexpr char16_t kApplication[] = u"Lexbin";
inline constexpr char16_t kSection[] = u"Main";

enum class Key {
    FontSize,
    AutoEnableIME,
    Left,
    Top,
    Width,
    Height,
    DataFilePath,
    Count  // not a key: how many there are
};

// The key table: the stored name of each key and, where it is fixed, the text a reader
// passes as default. Keys without a fixed default are read with the current value of what
// they restore, so a missing key changes nothing.
struct KeyInfo {
    Key key;
    const char16_t* name;
    const char16_t* fixedDefault;  // nullptr: the current value is the default
};

inline constexpr KeyInfo kKeys[] = {
    {Key::FontSize, u"FontSize", nullptr},
    {Key::AutoEnableIME, u"AutoEnableIME", u"0"},
    {Key::Left, u"Left", nullptr},
    {Key::Top, u"Top", nullptr},
    {Key::Width, u"Width", nullptr},
    {Key::Height, u"Height", nullptr},
    {Key::DataFilePath, u"DataFilePath", nullptr},  // default: see storage::DefaultFilePath
};

// A key without its row would read and write the first row's setting.
static_assert(common::OneRowPerValue<&KeyInfo::key>(kKeys),
              "kKeys has one row per Key, in key order");

const KeyInfo& Info(Key key);
QString KeyName(Key key);
// The fixed default of `key`; only for keys that have one.
QString FixedDefault(Key key);

// Reads `key`, returning `defaultValue` when it has no value. Never fails for a missing key;
// throws errors::Failure (settings not readable) when the settings exist but cannot be read.
QString GetSetting(const platform::CoreServices& services, Key key, const QString& defaultValue);
// Whether `key` has a value (an empty text counts).
bool HasSetting(const platform::CoreServices& services, Key key);
// Stores `value` under `key`; throws errors::Failure when the store cannot be written.
void SaveSetting(const platform::CoreServices& services, Key key, const QString& value);

}  // namespace settings
