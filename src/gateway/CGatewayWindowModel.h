#pragma once
// CGatewayWindowModel: the state and rules of the network unit settings window, without a window.
// It holds the unit's configuration as the pages edit it, the unit's version text, whether the
// window is offline, and runs the window's procedures on the gateway core: Read from unit, Write
// to unit (the address check, the capacity refusal, every single write, the PC port following a
// new speed to the PC), and the unit settings file's Save and Open.
// Write to unit says "finished" only when the unit took every setting; otherwise it names, one
// line each, the settings the unit did not take.
// Owned by the window; the thread that makes the exchanges (the user-interface thread).
#include <functional>
#include <string>
#include <vector>

#include "config/CSaveFailure.h"
#include "gateway/CGatewayColourStore.h"
#include "gateway/CGatewayConfig.h"
#include "gateway/CGatewayField.h"
#include "gateway/CGatewaySettingsFile.h"

namespace kvl {

class CServoCommands;

class CGatewayWindowModel {
public:
    static constexpr char kSection[] = "IDD_KVL_GWX_DLG";
    static constexpr int kTimeoutMs = 200;
    static constexpr int kVersionClicks = 6;
    static constexpr char kOfflineVersion[] = "-";
    static constexpr char kCapacityBuiltIn[] =
        "Connection capacity exceeding 100%.Device net list is invalid.Please confirm Occupation station and "
        "Multiple setting again.";
    static constexpr char kFinishBuiltIn[] = "Write finished!";
    static constexpr char kPortFailText[] = "Port speed changed fail!";

    // What the window lends. Every hook may be empty.
    struct Hooks {
        // A message (title, text).
        std::function<void(const std::string &title, const std::string &text)> message;
        // An OK / Cancel question with an empty title; true for OK. Empty: Cancel.
        std::function<bool(const std::string &text)> ask;
        // A failure the user must act on (a file that could not be saved): shown as a warning.
        std::function<void(const std::string &text)> warning;
        // Reopens the PC's port at `speed` bit/s and stores the speed; true when it is open.
        std::function<bool(int speed)> followPort;
        std::function<void()> changed;
        // Whether the address fields show the addresses the configuration holds (false while one
        // holds a partial address). Empty: they do.
        std::function<bool()> addressesShown;
        // The code page of the unit settings files (the current language's); Western when empty.
        std::function<int()> fileCodePage;
    };

    enum class WriteResult { kWritten, kRefusedSettings, kBadAddress, kOverCapacity, kOffline };
    enum class FileResult { kDone, kFailed, kNotGateway };

    CGatewayWindowModel(CServoCommands &commands, CGatewayField::TextLookup texts, bool offline,
                        std::string version, Hooks hooks = {});

    // Opening: online, the unit's whole configuration.
    void Open();
    // Reads every setting; false when the unit answered none of them.
    bool Read();
    WriteResult Write();

    // The unit settings file (`date` is line 1). A failed save or open is said to the user, and
    // so are the lines of a loaded file that hold no value of their setting or are missing.
    FileResult Save(const std::string &path, const std::string &date);
    FileResult Load(const std::string &path);
    std::string FileText(const std::string &date) const;

    // The colour settings file of `systemFolder`: its "CURRENT" colours become the lists' colours,
    // and colours loaded from a unit settings file are written back to it.
    void UseColourFile(const std::string &systemFolder);
    // The lists' colours again from "CURRENT" (after the colour settings window ended with OK).
    void ReloadColours();
    CGatewayColourStore &ColourStore() { return m_colourStore; }

    // Six clicks in a row on the comment label: true on the sixth (the version is shown). The
    // count runs over every window of the program run.
    static bool ClickVersion();

    bool Offline() const { return m_offline; }
    // "-" offline, else the unit's version text.
    std::string VersionText() const;
    const std::string &Version() const { return m_version; }
    CGatewayConfig &Config() { return m_config; }
    const CGatewayConfig &Config() const { return m_config; }
    int Saturation() const;
    // The saturation as the window shows it: "%d%", at most "100%"; the bar takes Saturation().
    std::string SaturationText() const;
    // Edits neither saved nor written: the settings are measured against what they were when last
    // read, written whole, saved or loaded (the opening counts as a read; offline, the
    // defaults the window starts with are kept).
    void KeepEdits();
    bool HasUnkeptEdits() const;
    // The settings the last write named as not taken, in the current language.
    const std::vector<std::string> &RefusedLabels() const { return m_refused; }

private:
    std::string Text(const char *key, const char *section, const char *builtIn) const;
    void FileFailed();
    void SaveFailed(const CSaveFailure &failure);
    std::string ProblemsText(const CGatewaySettingsFile::Problems &problems) const;
    void Message(const std::string &title, const std::string &text);
    void Changed();

    CServoCommands &m_commands;
    int FileCodePage() const;

    CGatewayField::TextLookup m_texts;
    bool m_offline;
    std::string m_version;
    Hooks m_hooks;
    CGatewayConfig m_config;
    CGatewayConfig m_kept;
    int m_unitPcSpeed = 0;
    CGatewayColourStore m_colourStore;
    static int s_versionClicks;
    std::vector<std::string> m_refused;
};

} // namespace kvl
