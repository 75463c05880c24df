#pragma once

#include "TemplateFormat.h"

#include <QBuffer>

// What every template input must satisfy, shared by the fuzzer and the corpus replay
// test: a file that is refused says why; a file that opens saves, and what was saved
// opens again to the same settings and design and saves to the same bytes.
inline bool templateRoundTripHolds(QByteArrayView bytes)
{
    const auto save = [](const TemplateFormat::Contents& contents) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        return TemplateFormat::write(contents.settings->dictionary(), contents.design, buffer)
                   ? buffer.data()
                   : QByteArray();
    };
    const TemplateFormat::Result<TemplateFormat::Contents> read = TemplateFormat::read(bytes);
    if (!read.ok())
        return !read.error.message.isEmpty();
    const QByteArray saved = save(*read.value);
    const TemplateFormat::Result<TemplateFormat::Contents> again = TemplateFormat::read(saved);
    if (saved.isEmpty() || !again.ok())
        return false;
    return save(*again.value) == saved &&
           PlistValue(again.value->settings->dictionary()) ==
               PlistValue(read.value->settings->dictionary()) &&
           PlistValue(again.value->design) == PlistValue(read.value->design);
}
