// The host's template reader fed arbitrary resource bytes: a resource file to
// search for a dialog by name, or a dialog template to read. A malformed input
// makes the lookup or the read fail; nothing is read beyond the bytes given,
// every text stays within its room, and the outcome depends only on the bytes
// that the template occupies.
#include "fuzz/FuzzCheck.h"
#include "platform/host/ui/DialogTemplate.h"

#include <string.h>

#include <vector>

using namespace HostUi;

namespace
{

void CheckText(const char *text, size_t room)
{
    Require(strnlen(text, room) < room);
}

void CheckName(const NameOrOrdinal &name)
{
    CheckText(name.text, sizeof name.text);
    if (name.isOrdinal)
        Require(name.text[0] == '\0');
}

void CheckTemplate(const BYTE *data, size_t size)
{
    static DialogTemplate dialog, again;
    bool parsed = ParseDialogTemplate(data, size, &dialog);
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF)
        Require(!parsed); // the extended form is not read
    // Whatever the outcome, the record holds terminated texts.
    CheckText(dialog.title, sizeof dialog.title);
    CheckText(dialog.faceName, sizeof dialog.faceName);
    CheckName(dialog.menu);
    CheckName(dialog.windowClass);
    if (!parsed)
        return;
    Require(dialog.controlCount <= TemplateMaxControls);
    if (!(dialog.style & DS_SETFONT))
        Require(dialog.pointSize == 0 && dialog.faceName[0] == '\0');
    for (WORD i = 0; i < dialog.controlCount; i++) {
        CheckName(dialog.controls[i].windowClass);
        CheckName(dialog.controls[i].title);
    }
    // Bytes after the template change nothing.
    std::vector<BYTE> longer(data, data + size);
    longer.resize(size + 64, 0xFF);
    Require(ParseDialogTemplate(longer.data(), longer.size(), &again));
    Require(memcmp(&dialog, &again, sizeof dialog) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0 || size > 8192)
        return 0;
    // The first byte chooses what the rest is: a dialog template, or a
    // resource file searched for a dialog named in one of the ways a program
    // names one.
    const uint8_t mode = data[0];
    std::vector<BYTE> bytes(data + 1, data + size); // exactly the bytes given
    if (mode & 1) {
        CheckTemplate(bytes.data(), bytes.size());
        return 0;
    }

    const char *names[] = {"SetupBox", "SHOWBOX", "#5", "#65535", "#", "", "\xC4RGER"};
    const char *name = names[(mode >> 1) % 7];
    if (mode & 0x80)
        name = reinterpret_cast<const char *>(static_cast<uintptr_t>((mode >> 1) & 0x3F));
    const BYTE *found = nullptr;
    size_t foundSize = 0;
    char stored[TemplateTextRoom];
    char shortStored[5];
    if (!FindDialogResource(bytes.data(), bytes.size(), name, &found, &foundSize, stored,
                            sizeof stored)) {
        Require(!FindDialogResource(bytes.data(), bytes.size(), name, &found, &foundSize,
                                    shortStored, sizeof shortStored));
        return 0;
    }
    CheckText(stored, sizeof stored);
    const BYTE *begin = bytes.data();
    Require(found >= begin && found <= begin + bytes.size());
    Require(foundSize <= static_cast<size_t>(begin + bytes.size() - found));

    // The same resource whatever the room for its stored name, and whatever
    // the letter case in which a name is asked for.
    const BYTE *again = nullptr;
    size_t againSize = 0;
    Require(FindDialogResource(begin, bytes.size(), name, &again, &againSize, shortStored,
                               sizeof shortStored));
    Require(again == found && againSize == foundSize);
    CheckText(shortStored, sizeof shortStored);
    Require(strncmp(stored, shortStored, sizeof shortStored - 1) == 0);
    if (!(mode & 0x80) && strcmp(name, "SetupBox") == 0) {
        Require(
            FindDialogResource(begin, bytes.size(), "setupbox", &again, &againSize, nullptr, 0));
        Require(again == found && againSize == foundSize);
    }

    // Its data, in a buffer of exactly its size.
    std::vector<BYTE> dialog(found, found + foundSize);
    CheckTemplate(dialog.data(), dialog.size());
    return 0;
}
