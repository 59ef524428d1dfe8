// Bookmarks and in-document links added to a finished PDF, as an incremental update.
//
// Qt's PDF writer has no way to make an outline or a link to another page, so the guide is
// written first and these are appended afterwards: new objects, new versions of the
// catalogue and of the pages' annotation lists, a cross-reference section for them and a
// trailer pointing back to the original one. Only what Qt writes is read: one classic
// cross-reference table, a flat page tree, dictionaries without streams.
#include "PdfOutline.h"

#include <QRegularExpression>
#include <cctype>
#include <map>
#include <optional>

namespace guide {
namespace {

QByteArray Ref(int number) { return QByteArray::number(number) + " 0 R"; }

QByteArray Number(double value) { return QByteArray::number(value, 'f', 2); }

// A text string of the PDF in UTF-16BE with its byte order mark, written in hex.
QByteArray TextString(const QString& text) {
    QByteArray out = "<FEFF";
    for (const QChar c : text) out += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return out + '>';
}

// The number of the object that `key` refers to in a dictionary ("/Root 2 0 R"), or -1.
int RefOf(const QByteArray& dict, const char* key) {
    const QRegularExpression pattern(QStringLiteral("/%1\\s+(\\d+)\\s+0\\s+R").arg(QLatin1String(key)));
    const QRegularExpressionMatch match = pattern.match(QString::fromLatin1(dict));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// A dictionary with entries added before its closing ">>".
std::optional<QByteArray> WithEntries(const QByteArray& dict, const QByteArray& entries) {
    const qsizetype end = dict.lastIndexOf(">>");
    if (!dict.startsWith("<<") || end < 0) return std::nullopt;
    return dict.left(end) + entries + '\n' + dict.mid(end);
}

class PdfReader {
public:
    explicit PdfReader(const QByteArray& pdf) : m_pdf(pdf) {}

    bool Read(QString& error) {
        const qsizetype startxref = m_pdf.lastIndexOf("startxref");
        if (startxref < 0) return Fail(error, "no startxref");
        m_xrefOffset = NextNumber(startxref + 9);
        if (m_xrefOffset <= 0 || m_xrefOffset >= m_pdf.size() ||
            m_pdf.mid(m_xrefOffset, 4) != "xref")
            return Fail(error, "no cross-reference table where startxref points");
        qsizetype at = m_xrefOffset + 4;
        for (;;) {
            const QByteArray token = Token(at);
            if (token == "trailer") break;
            bool ok = false;
            const int first = token.toInt(&ok);
            const int count = Token(at).toInt();
            if (!ok || count <= 0) return Fail(error, "a broken cross-reference table");
            for (int i = 0; i < count; ++i) {
                const qint64 offset = Token(at).toLongLong();
                Token(at);  // generation
                if (Token(at) == "n") m_offsets[first + i] = offset;
            }
        }
        const qsizetype trailerEnd = m_pdf.indexOf("startxref", at);
        m_trailer = m_pdf.mid(at, trailerEnd - at).trimmed();
        if (m_trailer.contains("/Prev") || m_trailer.contains("/Encrypt"))
            return Fail(error, "an updated or encrypted PDF");
        const QRegularExpression size(QStringLiteral("/Size\\s+(\\d+)"));
        m_size = size.match(QString::fromLatin1(m_trailer)).captured(1).toInt();
        m_root = RefOf(m_trailer, "Root");
        m_info = RefOf(m_trailer, "Info");
        if (m_size <= 0 || m_root < 0) return Fail(error, "a trailer without /Size or /Root");
        return true;
    }

    // The dictionary or array of an object, without "N 0 obj" and "endobj".
    std::optional<QByteArray> Object(int number) const {
        const auto it = m_offsets.find(number);
        if (it == m_offsets.end()) return std::nullopt;
        const QByteArray header = QByteArray::number(number) + " 0 obj";
        if (m_pdf.mid(it->second, header.size()) != header) return std::nullopt;
        const qsizetype start = it->second + header.size();
        const qsizetype end = m_pdf.indexOf("endobj", start);
        if (end < 0) return std::nullopt;
        return m_pdf.mid(start, end - start).trimmed();
    }

    // The page objects in order, read from the root of a flat page tree.
    std::optional<std::vector<int>> Pages() const {
        const std::optional<QByteArray> catalog = Object(m_root);
        if (!catalog) return std::nullopt;
        const std::optional<QByteArray> tree = Object(RefOf(*catalog, "Pages"));
        if (!tree) return std::nullopt;
        const QRegularExpression kids(QStringLiteral("/Kids\\s*\\[([^\\]]*)\\]"));
        const QRegularExpressionMatch match = kids.match(QString::fromLatin1(*tree));
        if (!match.hasMatch()) return std::nullopt;
        std::vector<int> pages;
        const QRegularExpression ref(QStringLiteral("(\\d+)\\s+0\\s+R"));
        for (auto it = ref.globalMatch(match.captured(1)); it.hasNext();) {
            const int page = it.next().captured(1).toInt();
            const std::optional<QByteArray> dict = Object(page);
            if (!dict || !dict->contains("/Type /Page") || dict->contains("/Type /Pages"))
                return std::nullopt;
            pages.push_back(page);
        }
        return pages;
    }

    qint64 XrefOffset() const { return m_xrefOffset; }
    int Size() const { return m_size; }
    int Root() const { return m_root; }
    int Info() const { return m_info; }

private:
    static bool Fail(QString& error, const char* what) {
        error = QStringLiteral("the PDF cannot be read for its outline: %1").arg(QLatin1String(what));
        return false;
    }

    QByteArray Token(qsizetype& at) const {
        while (at < m_pdf.size() && std::isspace(static_cast<unsigned char>(m_pdf[at]))) ++at;
        const qsizetype start = at;
        while (at < m_pdf.size() && !std::isspace(static_cast<unsigned char>(m_pdf[at]))) ++at;
        return m_pdf.mid(start, at - start);
    }

    qint64 NextNumber(qsizetype at) const { return Token(at).toLongLong(); }

    const QByteArray& m_pdf;
    std::map<int, qint64> m_offsets;
    QByteArray m_trailer;
    qint64 m_xrefOffset = 0;
    int m_size = 0;
    int m_root = -1;
    int m_info = -1;
};

}  // namespace

bool AddOutlineAndLinks(QByteArray& pdf, const std::vector<PdfBookmark>& bookmarks,
                        const std::vector<PdfPageLink>& links, double pageHeight,
                        QString& error) {
    PdfReader reader(pdf);
    if (!reader.Read(error)) return false;
    const std::optional<std::vector<int>> pages = reader.Pages();
    const std::optional<QByteArray> catalog = reader.Object(reader.Root());
    if (!pages || !catalog) {
        error = QStringLiteral("the PDF cannot be read for its outline: no page tree");
        return false;
    }
    if (catalog->contains("/Outlines")) {
        error = QStringLiteral("the PDF has an outline already");
        return false;
    }
    const int pageCount = int(pages->size());
    for (const PdfBookmark& bookmark : bookmarks) {
        if (bookmark.page < 0 || bookmark.page >= pageCount) {
            error = QStringLiteral("the bookmark \"%1\" opens page %2 of %3")
                        .arg(bookmark.title).arg(bookmark.page + 1).arg(pageCount);
            return false;
        }
    }
    for (const PdfPageLink& link : links) {
        if (link.page < 0 || link.page >= pageCount || link.targetPage < 0 ||
            link.targetPage >= pageCount) {
            error = QStringLiteral("a link from page %1 to page %2 of %3")
                        .arg(link.page + 1).arg(link.targetPage + 1).arg(pageCount);
            return false;
        }
    }
    // The top of a page at the zoom the reader has chosen.
    auto destination = [&](int page) {
        return "[" + Ref((*pages)[page]) + " /XYZ 0 " + Number(pageHeight) + " null]";
    };

    std::map<int, QByteArray> objects;  // number → dictionary or array, new or replaced
    int next = reader.Size();

    QByteArray catalogEntries;
    if (!bookmarks.empty()) {
        const int first = next;
        const int count = int(bookmarks.size());
        const int root = first + count;
        next = root + 1;
        for (int i = 0; i < count; ++i) {
            QByteArray item = "<<\n/Title " + TextString(bookmarks[i].title) + "\n/Parent " + Ref(root);
            if (i > 0) item += "\n/Prev " + Ref(first + i - 1);
            if (i + 1 < count) item += "\n/Next " + Ref(first + i + 1);
            item += "\n/Dest " + destination(bookmarks[i].page) + "\n>>";
            objects[first + i] = item;
        }
        objects[root] = "<<\n/Type /Outlines\n/First " + Ref(first) + "\n/Last " +
                        Ref(first + count - 1) + "\n/Count " + QByteArray::number(count) + "\n>>";
        catalogEntries = "/Outlines " + Ref(root) + "\n/PageMode /UseOutlines";
    }

    std::map<int, QByteArray> annotsOfPage;  // page index → " 21 0 R 22 0 R"
    for (const PdfPageLink& link : links) {
        const QRectF& r = link.rect;
        objects[next] = "<<\n/Type /Annot\n/Subtype /Link\n/Rect [" + Number(r.left()) + ' ' +
                        Number(r.top()) + ' ' + Number(r.right()) + ' ' + Number(r.bottom()) +
                        "]\n/Border [0 0 0]\n/Dest " + destination(link.targetPage) + "\n>>";
        annotsOfPage[link.page] += ' ' + Ref(next);
        ++next;
    }
    for (const auto& [page, refs] : annotsOfPage) {
        const int pageObject = (*pages)[page];
        const std::optional<QByteArray> dict = reader.Object(pageObject);
        const int annots = dict ? RefOf(*dict, "Annots") : -1;
        std::optional<QByteArray> replaced;
        int replacedNumber = pageObject;
        if (annots >= 0) {
            // Qt keeps each page's annotations in an array object of its own.
            const std::optional<QByteArray> array = reader.Object(annots);
            if (array && array->startsWith('[') && array->endsWith(']'))
                replaced = array->chopped(1) + refs + " ]";
            replacedNumber = annots;
        } else if (dict && dict->contains("/Annots")) {
            const qsizetype open = dict->indexOf('[', dict->indexOf("/Annots"));
            if (open >= 0) replaced = dict->left(open + 1) + refs + ' ' + dict->mid(open + 1);
        } else if (dict) {
            replaced = WithEntries(*dict, "/Annots [" + refs + " ]");
        }
        if (!replaced) {
            error = QStringLiteral("the PDF cannot be read for its links: page %1").arg(page + 1);
            return false;
        }
        objects[replacedNumber] = *replaced;
    }
    if (!catalogEntries.isEmpty()) {
        const std::optional<QByteArray> newCatalog = WithEntries(*catalog, catalogEntries);
        if (!newCatalog) {
            error = QStringLiteral("the PDF cannot be read for its outline: no catalogue");
            return false;
        }
        objects[reader.Root()] = *newCatalog;
    }
    if (objects.empty()) return true;

    QByteArray update;
    if (!pdf.endsWith('\n')) update += '\n';
    std::map<int, qint64> offsets;
    for (const auto& [number, body] : objects) {
        offsets[number] = pdf.size() + update.size();
        update += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    const qint64 xref = pdf.size() + update.size();
    update += "xref\n";
    // One subsection for each run of consecutive object numbers.
    for (auto it = offsets.begin(); it != offsets.end();) {
        auto end = it;
        int expected = it->first;
        while (end != offsets.end() && end->first == expected) {
            ++end;
            ++expected;
        }
        update += QByteArray::number(it->first) + ' ' + QByteArray::number(expected - it->first) + '\n';
        for (; it != end; ++it)
            update += QByteArray::number(it->second).rightJustified(10, '0') + " 00000 n \n";
    }
    update += "trailer\n<<\n/Size " + QByteArray::number(next) + "\n/Root " + Ref(reader.Root());
    if (reader.Info() >= 0) update += "\n/Info " + Ref(reader.Info());
    update += "\n/Prev " + QByteArray::number(reader.XrefOffset()) + "\n>>\nstartxref\n" +
              QByteArray::number(xref) + "\n%%EOF\n";
    pdf += update;
    return true;
}

}  // namespace guide
