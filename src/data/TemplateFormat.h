#pragma once

#include "FormatResult.h"
#include "TemplateSettingsData.h"

#include <QByteArrayView>

#include <memory>

class QIODevice;

// The template file: an XML property list whose top level holds "Settings" (the page
// settings) and "Design" (the graphics' dictionaries, index 0 the front-most). Read and
// written whole; the reader takes what the writer writes and refuses anything else.
class TemplateFormat {
public:
    static inline const QString SettingsKey = QStringLiteral("Settings");
    static inline const QString DesignKey = QStringLiteral("Design");

    struct Contents {
        std::shared_ptr<TemplateSettingsData> settings;
        PlistArray design; // every entry a dictionary, front to back
    };
    template <typename Value> using Result = FormatResult<Value>;

    // Refuses a top level that is no dictionary, settings that are no dictionary or were
    // written by a newer version, and a design that is no array of dictionaries.
    static Result<Contents> read(QByteArrayView bytes);
    static Result<Contents> read(QIODevice& device);

    // The settings' dictionary carries its "DataFormat".
    static bool write(const PlistDictionary& settings, const PlistArray& design, QIODevice& device);

private:
    static Result<Contents> contentsOf(const PlistReadResult& read);
};
