#include "core/formats/ProjectPackage.h"

#include "core/document/DocumentAnnotations.h"
#include "core/document/StepNumbers.h"

#include <algorithm>
#include <system_error>

namespace vorlix::ProjectPackage {

// ---- Errors ----------------------------------------------------------------------------

ReadError::ReadError(Kind kind, std::int64_t version, const QUuid& imageID)
    : m_kind(kind), m_version(version), m_imageID(imageID), m_what(errorDescription().toStdString())
{
}

ReadError ReadError::newerFormat(std::int64_t version) { return {Kind::newerFormat, version, {}}; }
ReadError ReadError::missingImage(const QUuid& imageID) { return {Kind::missingImage, 0, imageID}; }
ReadError ReadError::missingDocument() { return {Kind::missingDocument, 0, {}}; }

QString ReadError::errorDescription() const
{
    switch (m_kind) {
    case Kind::newerFormat:
        return QStringLiteral("Il progetto è stato salvato con una versione più recente dell'app (formato %1).")
            .arg(m_version);
    case Kind::missingImage:
        return QStringLiteral("Il progetto è danneggiato: manca un'immagine.");
    case Kind::missingDocument:
        return QStringLiteral("Il progetto è danneggiato: manca il documento.");
    }
    return {};
}

WriteError::WriteError(int systemError, QString path)
    : m_systemError(systemError), m_path(std::move(path)), m_what(errorDescription().toStdString())
{
}

QString WriteError::errorDescription() const
{
    return QStringLiteral("Impossibile salvare il progetto: %1.")
        .arg(QString::fromStdString(std::generic_category().message(m_systemError)));
}

// ---- Writing ---------------------------------------------------------------------------

QString imageFileName(const QUuid& imageID, const QString& fileExtension)
{
    return imageID.toString(QUuid::WithoutBraces).toUpper() + u'.' + fileExtension;
}

bool isImageFileExtension(QStringView fileExtension)
{
    constexpr qsizetype maximumLength = 16;
    const auto isAlphanumeric = [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    return !fileExtension.isEmpty() && fileExtension.size() <= maximumLength &&
           std::all_of(fileExtension.begin(), fileExtension.end(), isAlphanumeric);
}

QByteArray encodeDocument(const DocumentModel& document)
{
    // nlohmann objects keep their keys sorted, so every level comes out in key order.
    const std::string text = encodeJson(document).dump(2);
    return QByteArray(text.data(), qsizetype(text.size()));
}

PackageFiles files(const DocumentModel& document, const ImageStore& images)
{
    PackageFiles out;
    for (const QUuid& id : referencedImageIDs(document)) {
        std::optional<ImageAsset> asset = images.asset(id);
        if (!asset)
            throw ReadError::missingImage(id);
        out.imageFiles.emplace_back(imageFileName(id, asset->fileExtension), std::move(asset->data));
    }
    std::sort(out.imageFiles.begin(), out.imageFiles.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    out.documentJSON = encodeDocument(document);
    return out;
}

// ---- Decoding and upgrading ------------------------------------------------------------

namespace {

// Whether arrays and objects nest deeper than the cap, outside strings.
bool nestsTooDeep(std::string_view text)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maximumNestingDepth)
                return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

void setLineDots(std::vector<Annotation>& annotations)
{
    for (Annotation& a : annotations)
        if (a.kind == AnnotationKind::line)
            a.style.lineDots = true;
}

} // namespace

DocumentModel decodeDocument(std::string_view data)
{
    if (nestsTooDeep(data))
        throw DecodeError(DecodeErrorKind::dataCorrupted, {},
                          "The given data was not valid JSON. Arrays and objects nest too deeply.");
    const Json json = parseJson(data);
    const JsonValue root(json);

    // The version alone first, so that a newer document is refused whatever else it
    // holds. A huge whole number is a newer version too, not damage.
    const JsonValue probe = root.key("formatVersion");
    if (probe.raw().is_number_unsigned() && probe.raw().get<std::uint64_t>() > std::uint64_t(currentFormatVersion))
        throw ReadError::newerFormat(
            std::int64_t(std::min<std::uint64_t>(probe.raw().get<std::uint64_t>(), std::uint64_t(INT64_MAX))));
    const std::int64_t version = probe.toInt64();
    if (version > currentFormatVersion)
        throw ReadError::newerFormat(version);

    DocumentModel document = decodeJson<DocumentModel>(root);

    // Before version 2 a panel's crop hid its annotations without recording it in them.
    if (version < 2) {
        for (Panel& panel : document.panels) {
            if (!panel.crop)
                continue;
            for (Annotation& a : panel.annotations)
                a.cropClip = panel.crop;
        }
    }
    // Before version 3 every line was drawn with dotted ends.
    if (version < 3) {
        for (Panel& panel : document.panels)
            setLineDots(panel.annotations);
        setLineDots(document.annotations);
    }
    document.formatVersion = currentFormatVersion;

    if (document.showsStepNumbers) {
        addStepNumbers(document, Style::defaults(AnnotationKind::number));
        document.showsStepNumbers = false;
    }
    return document;
}

} // namespace vorlix::ProjectPackage
