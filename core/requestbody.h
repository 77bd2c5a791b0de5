#pragma once

#include "records/result.h"

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace kalvorin {

// A compact JSON document whose big string members (a file's Base64) are
// produced only as the request leaves. The caller builds the document key by
// key as for any write, putting a stand-in returned by `bytesAsBase64` or
// `fileAsBase64` where the Base64 text belongs; what goes out is exactly the
// compact serialisation of the document with the real Base64 in place, but
// the Base64 never stands whole in memory.
class StreamedJson {
public:
    StreamedJson();

    // Bytes the caller already holds (shared, not copied).
    QString bytesAsBase64(QByteArray data);
    // A file, opened now and read as it is sent. A file that cannot be opened
    // fails here, before anything is sent.
    Result<QString> fileAsBase64(const QString& path);

    void setDocument(const QJsonObject& document) { m_document = document; }
    void setProgress(std::function<void(qint64 sent, qint64 total)> progress) {
        m_progress = std::move(progress);
    }

    // The device that produces the bytes; its size is known before the first byte.
    std::unique_ptr<class StreamedJsonDevice> open() const;
    const std::function<void(qint64, qint64)>& progress() const { return m_progress; }

private:
    struct Source {
        QByteArray data;
        QString path;
        qint64 size = 0;
    };
    QString m_tag;
    QList<Source> m_sources;
    QJsonObject m_document;
    std::function<void(qint64, qint64)> m_progress;
    friend class StreamedJsonDevice;
};

// The random-access device over a streamed document. Random access lets the
// network layer send it without buffering it first (and rewind it when it must
// send again). A file that shrinks or fails while it is read ends the read with
// an error; `failure()` then says so in the user's words.
class StreamedJsonDevice : public QIODevice {
    Q_OBJECT
public:
    bool isSequential() const override { return false; }
    qint64 size() const override { return m_size; }
    const std::optional<Failure>& failure() const { return m_failure; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    friend class StreamedJson;
    struct Piece {
        QByteArray literal; // when `source` < 0
        int source = -1;    // the Base64 of that source, between quotes
        qint64 start = 0;   // offset of the piece in the document
        qint64 size = 0;
    };
    struct OpenSource {
        QByteArray data;
        std::unique_ptr<QFile> file;
        qint64 size = 0;
    };

    qint64 readBase64(const Piece& piece, qint64 offset, char* out, qint64 maxSize);
    bool readRaw(OpenSource& source, qint64 offset, qint64 length, QByteArray& into);

    QList<Piece> m_pieces;
    std::vector<OpenSource> m_sources;
    qint64 m_size = 0;
    std::optional<Failure> m_failure;
};

// What a request sends after its headers: nothing, a compact JSON document
// built in memory, or a streamed document.
class RequestBody {
public:
    RequestBody() = default;
    RequestBody(std::nullopt_t) {}
    RequestBody(QJsonObject object) : m_object(std::move(object)) {}
    RequestBody(std::optional<QJsonObject> object) : m_object(std::move(object)) {}
    RequestBody(StreamedJson streamed) : m_streamed(std::make_shared<StreamedJson>(std::move(streamed))) {}

    bool isEmpty() const { return !m_object && !m_streamed; }
    const std::optional<QJsonObject>& object() const { return m_object; }
    const std::shared_ptr<StreamedJson>& streamed() const { return m_streamed; }

private:
    std::optional<QJsonObject> m_object;
    std::shared_ptr<StreamedJson> m_streamed;
};

// The length of the standard Base64 text of `bytes` bytes, padding included.
constexpr qint64 base64Length(qint64 bytes) {
    return (bytes + 2) / 3 * 4;
}

} // namespace kalvorin
