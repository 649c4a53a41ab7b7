// Whether opening a listed file asks first. Anything cached is an unknown download: it opens at
// once only when the system takes it for a picture, a sound or a video and hands it to a
// program of its type, whose work is to show it. Every other program may act on what the file
// says (connect to a host, install, import a certificate, run a macro) and looks in the
// registry exactly like a viewer: a program, then the file.
#pragma once

#include <array>
#include <string_view>

#include "platform/platform.h"

namespace tallow {

// Types that run code, or hand the file to something that does, when opened: these ask whatever
// the system takes them for.
inline constexpr std::array<std::wstring_view, 70> kCodeTypes = {
    // Programs, scripts and the hosts that run them.
    L".exe", L".com", L".scr", L".pif", L".bat", L".cmd", L".js", L".jse", L".vbs", L".vbe", L".vb", L".wsf", L".wsh",
    L".wsc", L".ws", L".sct", L".hta", L".jar", L".jnlp", L".xbap", L".py", L".pyw", L".pyz", L".pyzw", L".ps1",
    L".ps1xml", L".psc1", L".ps2", L".ps2xml", L".psc2", L".psm1", L".wsb",
    // Installers, packages and settings.
    L".msi", L".msp", L".msc", L".reg", L".cpl", L".inf", L".application", L".appref-ms", L".appx", L".appxbundle",
    L".msix", L".msixbundle", L".appinstaller", L".diagcab", L".theme", L".themepack", L".deskthemepack", L".cer",
    L".crt", L".der",
    // Links, searches and documents that reach other files, sites or code.
    L".lnk", L".url", L".website", L".scf", L".settingcontent-ms", L".library-ms", L".search-ms",
    L".searchconnector-ms", L".chm", L".hlp", L".mht", L".mhtml", L".xll", L".iqy", L".slk",
    // Pictures and movies that carry script of their own, whatever the system takes them for.
    L".svg", L".svgz", L".swf"};

// Playlists and media pointers: the system takes them for sounds or videos, yet they point the
// player at any address or share the site chose, and a share makes the system sign in to that
// host with the user's name.
inline constexpr std::array<std::wstring_view, 12> kPointerTypes = {
    L".m3u", L".m3u8", L".pls", L".asx", L".wax", L".wvx", L".wmx", L".wpl", L".xspf", L".ram", L".rpm", L".qtl"};

// Why opening asks first, by the first reason that holds.
enum class OpenCaution {
  kNone,           // opens at once
  kDisguisedName,  // drawn otherwise than spelled: a hidden character, or a blank at the end
  kNoExtension,    // no type to go by, and Wine runs such a file if it is a program
  kCodeType,       // on the list of types that run code
  kPointer,        // a playlist or media pointer
  kSystemWarns,    // the system itself calls the type unsafe
  kNoProgram,      // nothing is registered: Windows offers a choice, Wine may take ".exex" for ".exe"
  kRunsItself,     // the type's command starts the file itself, as for programs and scripts
  kNotMedia,       // not taken for a picture, a sound or a video: its program may act on the file
};

OpenCaution CautionFor(Platform& platform, std::wstring_view name);

// True when a type's command starts the file itself: the file is the program, or it goes to a
// host that runs what it is given (a script host, a shell, an installer, a DLL loader).
bool CommandRunsTheFile(std::wstring_view command);

// Who gets the file, for the user: the name the system gives the program, else its file name;
// empty when the file runs itself or the type has no command.
std::wstring ProgramName(const TypeProgram& program);

// True for a name whose opening asks first: CautionFor gives a reason.
bool AsksBeforeOpening(Platform& platform, std::wstring_view name);

}  // namespace tallow
