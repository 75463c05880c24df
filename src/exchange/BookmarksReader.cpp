#include "BookmarksReader.h"

#include <QLatin1StringView>

#include <vector>

namespace {

using BookmarksReader::Bookmark;

const QString ChildrenKey = QStringLiteral("Children");
const QString TitleKey = QStringLiteral("Title");

// Every node of a property list of folders, without recursion: a file nested deeper than
// the stack allows is still walked. A child with a title and children opens a level of
// its own, and only it closes that level again; a leaf reaches `leaf` with the titles of
// the folders round it, outermost first.
template <typename Leaf>
void walkFolders(const PlistDictionary& root, Leaf leaf)
{
    struct Frame {
        const PlistArray* children;
        qsizetype next;
        bool opened;
    };
    std::vector<Frame> frames;
    QStringList path;
    const auto enter = [&](const PlistDictionary& node, bool opens) {
        const PlistValue* children = node.find(ChildrenKey);
        if (!children) {
            leaf(node, std::as_const(path));
            return;
        }
        if (opens)
            path.append(node.stringForKey(TitleKey));
        frames.push_back({children->asArray(), 0, opens});
    };
    enter(root, false);
    while (!frames.empty()) {
        Frame& frame = frames.back();
        if (!frame.children || frame.next >= frame.children->size()) {
            if (frame.opened)
                path.removeLast();
            frames.pop_back();
            continue;
        }
        const PlistDictionary* child = frame.children->at(frame.next++).asDictionary();
        if (child)
            enter(*child, child->find(TitleKey) != nullptr);
    }
}

bool holdsKey(const PlistValue& root, const QString& key)
{
    std::vector<const PlistValue*> pending{&root};
    while (!pending.empty()) {
        const PlistValue* value = pending.back();
        pending.pop_back();
        if (const PlistDictionary* dictionary = value->asDictionary()) {
            if (dictionary->find(key))
                return true;
            for (const PlistDictionary::Entry& entry : *dictionary)
                pending.push_back(&entry.value);
        } else if (const PlistArray* array = value->asArray()) {
            for (const PlistValue& item : *array)
                pending.push_back(&item);
        }
    }
    return false;
}

// The tags one HTML layout writes.
struct HtmlTags {
    QLatin1StringView item;      // after "<"
    QLatin1StringView listEnd;
    QLatin1StringView listStart;
    QChar anchor;
    QChar heading;
    // The heading's name lies inside a tag nested in it.
    bool nestedHeadingName;
};

const HtmlTags UpperCaseTags{QLatin1StringView("DT>"), QLatin1StringView("</DL>"),
                             QLatin1StringView("<DL>"), u'A', u'H', false};
const HtmlTags LowerCaseTags{QLatin1StringView("dt>"), QLatin1StringView("</dl>"),
                             QLatin1StringView("<dl>"), u'a', u'h', true};

// One pass over the text a character at a time. Each "<DT>" brings a bookmark (an anchor:
// its first quoted attribute the address, its text the title) or a folder heading, whose
// name closes again with its list; a scan that finds nothing before the last character
// ends the pass.
QList<Bookmark> walkHtml(QStringView text, const HtmlTags& tags)
{
    QList<Bookmark> found;
    const qsizetype last = text.size() - 1;
    const auto find = [&](QChar character, qsizetype from) -> qsizetype {
        if (from < 0 || from >= last)
            return -1;
        const qsizetype at = text.indexOf(character, from);
        return at < last ? at : -1;
    };
    QString category;
    // What each open list added to the category; the outermost list added nothing. An
    // empty heading opens a list too, so that its end closes only it.
    std::vector<qsizetype> added{0};
    bool inList = false;
    qsizetype position = 0;
    for (;;) {
        const qsizetype open = find(u'<', position);
        if (open < 0)
            break;
        const QStringView tag = text.sliced(open);
        if (!tag.sliced(1).startsWith(tags.item)) {
            if (inList && tag.startsWith(tags.listEnd)) {
                if (!added.empty()) {
                    category.chop(added.back());
                    added.pop_back();
                }
                inList = !added.empty();
                position = open + tags.listEnd.size();
            } else if (inList && tag.startsWith(tags.listStart)) {
                position = open + tags.listStart.size();
            } else {
                position = open + 1;
            }
            continue;
        }
        const qsizetype item = find(u'<', open + 1 + tags.item.size());
        if (item < 0)
            break;
        const QChar kind = text.at(item + 1);
        if (kind == tags.anchor) {
            const qsizetype quote = find(u'"', item);
            const qsizetype endQuote = find(u'"', quote + 1);
            const qsizetype startEnd = find(u'>', endQuote + 1);
            const qsizetype end = find(u'<', startEnd + 1);
            if (quote < 0 || endQuote < 0 || startEnd < 0 || end < 0)
                break;
            found.append({category.isEmpty() ? std::nullopt : std::optional<QString>(category),
                          BookmarksReader::decodeHtmlEntities(
                              text.sliced(startEnd + 1, end - startEnd - 1)),
                          BookmarksReader::decodeHtmlEntities(
                              text.sliced(quote + 1, endQuote - quote - 1))});
            position = end + 1;
        } else if (kind == tags.heading) {
            const qsizetype nested = tags.nestedHeadingName ? find(u'<', item + 1) : item;
            const qsizetype startEnd = find(u'>', nested);
            const qsizetype end = find(u'<', startEnd + 1);
            if (nested < 0 || startEnd < 0 || end < 0)
                break;
            const QString name =
                BookmarksReader::decodeHtmlEntities(text.sliced(startEnd + 1, end - startEnd - 1));
            inList = true;
            if (name.isEmpty()) {
                added.push_back(0);
            } else {
                category += name;
                category += u' ';
                added.push_back(name.size() + 1);
            }
            position = end + 1;
        } else {
            position = item + 2;
        }
    }
    return found;
}

std::optional<char32_t> characterReference(QStringView name)
{
    static const std::pair<QLatin1StringView, char32_t> named[] = {
        {QLatin1StringView("amp"), U'&'},    {QLatin1StringView("lt"), U'<'},
        {QLatin1StringView("gt"), U'>'},     {QLatin1StringView("quot"), U'"'},
        {QLatin1StringView("apos"), U'\''},  {QLatin1StringView("nbsp"), U'\u00A0'},
    };
    if (!name.startsWith(u'#')) {
        for (const auto& [entity, character] : named) {
            if (name == entity)
                return character;
        }
        return std::nullopt;
    }
    const bool hex = name.size() > 1 && (name.at(1) == u'x' || name.at(1) == u'X');
    const QStringView digits = name.sliced(hex ? 2 : 1);
    if (digits.isEmpty())
        return std::nullopt;
    char32_t value = 0;
    for (const QChar digit : digits) {
        const char16_t c = digit.unicode();
        int d = -1;
        if (c >= u'0' && c <= u'9')
            d = c - u'0';
        else if (hex && c >= u'a' && c <= u'f')
            d = c - u'a' + 10;
        else if (hex && c >= u'A' && c <= u'F')
            d = c - u'A' + 10;
        if (d < 0)
            return std::nullopt;
        value = value * (hex ? 16 : 10) + char32_t(d);
        if (value > 0x10FFFF)
            return std::nullopt;
    }
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF))
        return std::nullopt;
    return value;
}

} // namespace

bool BookmarksReader::isPropertyListKind(int kind)
{
    return kind == SafariBookmarks || kind == CaminoBookmarks || kind == DemeterBookmarks;
}

QList<Bookmark> BookmarksReader::processSafariBookmarks(const PlistDictionary& root)
{
    QList<Bookmark> found;
    walkFolders(root, [&](const PlistDictionary& node, const QStringList& folders) {
        const PlistValue* uriDictionary = node.find(QStringLiteral("URIDictionary"));
        // A node of neither children nor address holds no bookmark.
        if (!uriDictionary)
            return;
        const PlistDictionary* uri = uriDictionary->asDictionary();
        const QString category = folders.join(QStringLiteral(" / "));
        found.append({category.isEmpty() ? std::nullopt : std::optional<QString>(category),
                      uri ? uri->stringForKey(QStringLiteral("title")) : QString(),
                      node.stringForKey(QStringLiteral("URLString"))});
    });
    return found;
}

QList<Bookmark> BookmarksReader::processCaminoDemeterBookmarks(const PlistDictionary& root)
{
    QList<Bookmark> found;
    const QString urlKey = QStringLiteral("URL");
    walkFolders(root, [&](const PlistDictionary& node, const QStringList& folders) {
        // A dictionary of neither title nor address is no bookmark: any property list
        // would otherwise give one.
        if (!node.find(urlKey) && !node.find(TitleKey))
            return;
        QString category;
        for (const QString& folder : folders) {
            category += folder;
            category += u' ';
        }
        found.append({category, node.stringForKey(TitleKey), node.stringForKey(urlKey)});
    });
    return found;
}

QList<Bookmark> BookmarksReader::propertyListBookmarks(const PlistDictionary& root, int kind)
{
    return kind == SafariBookmarks ? processSafariBookmarks(root)
                                   : processCaminoDemeterBookmarks(root);
}

QList<Bookmark> BookmarksReader::importHtmlBookmarks(QStringView text)
{
    return walkHtml(text, UpperCaseTags);
}

QList<Bookmark> BookmarksReader::importOmniWebBookmarks(QStringView text)
{
    return walkHtml(text, LowerCaseTags);
}

QList<Bookmark> BookmarksReader::htmlBookmarks(QStringView text, int kind)
{
    return kind == OmniWebBookmarks ? importOmniWebBookmarks(text) : importHtmlBookmarks(text);
}

int BookmarksReader::propertyListKind(const PlistDictionary& root)
{
    return holdsKey(PlistValue(root), QStringLiteral("URIDictionary")) ? SafariBookmarks
                                                                       : CaminoBookmarks;
}

int BookmarksReader::htmlKind(QStringView text)
{
    return text.contains(QLatin1StringView("<dl>")) ? OmniWebBookmarks : HtmlBookmarks;
}

QString BookmarksReader::decodeHtmlEntities(QStringView text)
{
    qsizetype ampersand = text.indexOf(u'&');
    if (ampersand < 0)
        return text.toString();
    QString decoded;
    decoded.reserve(text.size());
    qsizetype done = 0;
    while (ampersand >= 0) {
        const qsizetype semicolon = text.indexOf(u';', ampersand + 1);
        // The longest reference an export writes is far shorter.
        constexpr qsizetype LongestName = 10;
        std::optional<char32_t> character;
        if (semicolon > ampersand && semicolon - ampersand - 1 <= LongestName)
            character = characterReference(text.sliced(ampersand + 1, semicolon - ampersand - 1));
        if (character) {
            decoded += text.sliced(done, ampersand - done);
            const char32_t ucs4[] = {*character};
            decoded += QStringView(QString::fromUcs4(ucs4, 1));
            done = semicolon + 1;
        }
        ampersand = text.indexOf(u'&', character ? done : ampersand + 1);
    }
    decoded += text.sliced(done);
    return decoded;
}
