#include "ImportCommands.h"

namespace {

constexpr ImportCommand commands[] = {
    {"importNewAppleMail:", "Mail Folders…", Importer::Email, "importEmailFolder:sender:", 2},
    {"importEntourageMail:", "Entourage Mail…", Importer::Email, "importEmailFile:sender:", 3},
    {"importEudoraMail:", "Eudora Mail…", Importer::Email, "importEmailFile:sender:", 4},
    {"importMailsmithMail:", "Mailsmith Mail…", Importer::Email, "importEmailFile:sender:", 5},
    {"importMozillaMail:", "Mozilla Mail…", Importer::Email, "importEmailFile:sender:", 6},
    {"importNetscapeMail:", "Netscape Mail…", Importer::Email, "importEmailFile:sender:", 7},
    {"importPowerMail:", "PowerMail Mail…", Importer::Email, "importEmailFile:sender:", 8},
    // The item's tag chooses the browser's format.
    {"importBookmarks:", "Bookmarks…", Importer::Bookmarks, "importBookmarksFile:tag:", 0},
    {"importCustomDelimited:", "Custom-Delimited Text…", Importer::CustomDelimited,
     "importCustomDelimitedFile:", 0},
    {"importEntourageContacts:", "Entourage Contacts…", Importer::EntourageContacts,
     "importEntourageContactsFile:", 0},
    {"importFolderOfTextFiles:", "Folder of Text Files…", Importer::TextFiles,
     "importFolderOfTextFiles:", 0},
    {"importFolderOfTextFilesWithFileNames:", "Folder of Text Files with Their Names…",
     Importer::TextFiles, "importFolderOfTextFilesWithFileNames:", 0},
    {"importTabDelimited:", "Tab-Delimited Text…", Importer::TabDelimited,
     "importTabDelimitedFile:", 0},
    {"importCSV:", "CSV…", Importer::CSV, "importCSVFile:", 0},
    {"importNorva2Datafile:", "Norva 2 Datafile…", Importer::Datafile, "importDatafile:sender:", 1},
    {"importNorvaPro:", "Norva 1 Datafile…", Importer::Datafile, "importDatafile:sender:", 2},
    {"importKestrowan:", "Kestrowan File…", Importer::Datafile, "importDatafile:sender:", 2},
    {"importMARLOCAN:", "Marlocan Card Deck…", Importer::Datafile, "importDatafile:sender:", 3},
    {"importNorva2Template:", "Norva 2 Template…", Importer::Datafile, "importDatafile:sender:", 4},
};

} // namespace

std::span<const ImportCommand> importCommands()
{
    return commands;
}
