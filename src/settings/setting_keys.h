#pragma once
// Every setting of the settings file in one table: section, key as the code spells it,
// and default. Code reads a setting through these constants, never a string typed twice.

#include <string_view>

namespace quillmark::keys {

struct SettingKey {
    std::string_view section;
    std::string_view key;
    std::string_view defaultValue; // as written to the file when missing
};

inline constexpr std::string_view kSettings = "SETTINGS";
inline constexpr std::string_view kWallpaper = "Wallpaper";
inline constexpr std::string_view kPaths = "Paths";
inline constexpr std::string_view kUser = "User";
inline constexpr std::string_view kProfiles = "Profiles";

inline constexpr SettingKey kInterval1{kSettings, "INTERVAL_1", "60"};
inline constexpr SettingKey kSeparator{kSettings, "SIG SEPARATOR CHARACTER", "%"};
inline constexpr SettingKey kRunAtBootup{kSettings, "Run At Bootup", "True"};
inline constexpr SettingKey kShowSplashScreen{kSettings, "Show Splash Screen", "True"};
inline constexpr SettingKey kBoringColourScheme{kSettings, "Boring Colour Scheme", "False"};
inline constexpr SettingKey kAddDashes{kSettings, "Add Dashes To Sig Header", "True"};
inline constexpr SettingKey kWallpaperOnStartup{kSettings, "Wallpaper Change At Startup", "False"};
inline constexpr SettingKey kShrinkToFit{kWallpaper, "Shrink to fit screen", "True"};
inline constexpr SettingKey kStretchToFit{kWallpaper, "Stretch to fit screen", "False"};
inline constexpr SettingKey kProportionalFonts{kSettings, "Display Proportional Fonts", "True"};
inline constexpr SettingKey kLastEncryptionMethod{kSettings, "Last Encryption Method", "0"};
inline constexpr SettingKey kRunBefore{kSettings, "Quillmark Run Before", "True"};
// The default is the program folder followed by "/Sigs", known only at run time.
inline constexpr SettingKey kDefaultSigPath{kPaths, "Default Sig Path", ""};
inline constexpr SettingKey kLastDirectory{kWallpaper, "Last Directory", ""};
// Minutes between timed wallpaper changes; 0 leaves the wallpaper alone.
inline constexpr SettingKey kWallpaperInterval{kWallpaper, "Change Interval", "0"};
inline constexpr SettingKey kLastProfile{kUser, "Last Profile", ""};

} // namespace quillmark::keys
