#pragma once

#include <QString>

#include <span>

// The importers the File ▸ Import items start.
enum class Importer {
    Email,
    Bookmarks,
    CustomDelimited,
    EntourageContacts,
    TextFiles,
    TabDelimited,
    CSV,
    Datafile,
};

// One item of File ▸ Import: its action, its title, and what it starts: the importer's
// operation with the kind of file it defines (mail store kinds, old datafile kinds; 0
// where the operation takes none).
struct ImportCommand {
    const char* selector;
    const char* title;
    Importer importer;
    const char* call;
    int kind;
};

std::span<const ImportCommand> importCommands();
