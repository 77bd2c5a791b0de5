#include "requestbody.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QUuid>
#include <algorithm>

namespace kalvorin {

namespace {
// Base64 is produced in runs of this many input bytes (a multiple of 3, so a
// run never needs padding unless it ends the data).
constexpr qint64 kRunBytes = 48 * 1024;

Failure unreadableFile(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return Failure{QStringLiteral("FILE"), 0,
                   name.isEmpty() ? QStringLiteral("تعذرت قراءة الملف.")
                                  : QStringLiteral("تعذرت قراءة الملف %1.").arg(name)};
}

Failure changedFile(const QString& path) {
    return Failure{QStringLiteral("FILE"), 0,
                   QStringLiteral("تغيّر الملف %1 أو تعذرت قراءته أثناء الإرسال، فلم يكتمل الطلب.")
                       .arg(QFileInfo(path).fileName())};
}
} // namespace

StreamedJson::StreamedJson() : m_tag(QUuid::createUuid().toString(QUuid::Id128)) {}

QString StreamedJson::bytesAsBase64(QByteArray data) {
    const qint64 size = data.size();
    m_sources.append(Source{std::move(data), QString(), size});
    return QStringLiteral("kalvorin-stream-%1-%2").arg(m_tag).arg(m_sources.size() - 1);
}

Result<QString> StreamedJson::fileAsBase64(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential())
        return unreadableFile(path);
    m_sources.append(Source{QByteArray(), path, file.size()});
    return QStringLiteral("kalvorin-stream-%1-%2").arg(m_tag).arg(m_sources.size() - 1);
}

std::unique_ptr<StreamedJsonDevice> StreamedJson::open() const {
    auto device = std::unique_ptr<StreamedJsonDevice>(new StreamedJsonDevice);
    for (const Source& source : m_sources) {
        StreamedJsonDevice::OpenSource open;
        open.data = source.data;
        open.size = source.size;
        if (!source.path.isEmpty()) {
            open.file = std::make_unique<QFile>(source.path);
            // Opened again for this send: a file that went away since it was
            // chosen fails now, before anything leaves.
            if (!open.file->open(QIODevice::ReadOnly) || open.file->size() != source.size)
                device->m_failure = changedFile(source.path);
        }
        device->m_sources.push_back(std::move(open));
    }

    // Cut the compact document at each quoted stand-in.
    const QByteArray text = QJsonDocument(m_document).toJson(QJsonDocument::Compact);
    const QByteArray prefix = "\"kalvorin-stream-" + m_tag.toLatin1() + '-';
    qsizetype from = 0;
    qint64 offset = 0;
    auto addPiece = [&](StreamedJsonDevice::Piece piece) {
        piece.start = offset;
        offset += piece.size;
        device->m_pieces.append(std::move(piece));
    };
    while (true) {
        const qsizetype at = text.indexOf(prefix, from);
        const qsizetype close = at < 0 ? -1 : text.indexOf('"', at + prefix.size());
        bool ok = false;
        const int index =
            close < 0 ? -1 : text.mid(at + prefix.size(), close - at - prefix.size()).toInt(&ok);
        if (!ok || index < 0 || index >= int(device->m_sources.size())) {
            if (at < 0) {
                const QByteArray rest = text.mid(from);
                addPiece({rest, -1, 0, rest.size()});
                break;
            }
            // Not one of ours after all (a user's text that merely starts alike).
            const QByteArray skipped = text.mid(from, at + 1 - from);
            addPiece({skipped, -1, 0, skipped.size()});
            from = at + 1;
            continue;
        }
        const QByteArray before = text.mid(from, at + 1 - from); // up to the opening quote
        addPiece({before, -1, 0, before.size()});
        addPiece({QByteArray(), index, 0, base64Length(device->m_sources[size_t(index)].size)});
        from = close; // the closing quote starts the next literal
    }
    device->m_size = offset;
    device->open(QIODevice::ReadOnly);
    return device;
}

bool StreamedJsonDevice::readRaw(OpenSource& source, qint64 offset, qint64 length, QByteArray& into) {
    if (!source.file) {
        into = QByteArray::fromRawData(source.data.constData() + offset, length);
        return true;
    }
    into.resize(length);
    if (!source.file->seek(offset))
        return false;
    qint64 done = 0;
    while (done < length) {
        const qint64 n = source.file->read(into.data() + done, length - done);
        if (n <= 0)
            return false; // shorter than it was when the request started
        done += n;
    }
    return true;
}

qint64 StreamedJsonDevice::readBase64(const Piece& piece, qint64 offset, char* out, qint64 maxSize) {
    OpenSource& source = m_sources[size_t(piece.source)];
    const qint64 group = offset / 4;
    const qint64 skip = offset % 4;
    const qint64 rawStart = group * 3;
    const qint64 wantedGroups = (skip + maxSize + 3) / 4;
    const qint64 rawLength = std::min({wantedGroups * 3, kRunBytes, source.size - rawStart});
    QByteArray raw;
    if (!readRaw(source, rawStart, rawLength, raw))
        return -1;
    const QByteArray encoded = raw.toBase64();
    const qint64 n = std::min(maxSize, qint64(encoded.size()) - skip);
    std::copy_n(encoded.constData() + skip, n, out);
    return n;
}

qint64 StreamedJsonDevice::readData(char* data, qint64 maxSize) {
    if (m_failure)
        return -1;
    qint64 position = pos();
    qint64 written = 0;
    auto piece = std::upper_bound(m_pieces.cbegin(), m_pieces.cend(), position,
                                  [](qint64 p, const Piece& x) { return p < x.start; });
    if (piece != m_pieces.cbegin())
        --piece;
    for (; piece != m_pieces.cend() && written < maxSize; ++piece) {
        const qint64 offset = position - piece->start;
        if (offset >= piece->size)
            continue;
        qint64 n = 0;
        if (piece->source < 0) {
            n = std::min(maxSize - written, piece->size - offset);
            std::copy_n(piece->literal.constData() + offset, n, data + written);
        } else {
            n = readBase64(*piece, offset, data + written, maxSize - written);
            if (n < 0) {
                m_failure = changedFile(m_sources[size_t(piece->source)].file->fileName());
                return -1;
            }
        }
        written += n;
        position += n;
        if (piece->source >= 0 && offset + n < piece->size)
            break; // one run of Base64 per call keeps each read small
    }
    return written;
}

} // namespace kalvorin
