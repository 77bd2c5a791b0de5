#pragma once
// Files picked for a new ticket and not yet sent: the record, the reading rule with its limit,
// and the list model the attachments block shows.

#include <QAbstractListModel>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>
#include <QtQml/qqmlregistration.h>
#include <variant>

namespace kalvorin::create {

struct PendingAttachment {
    QUuid id;
    QString name; // the file name with its extension
    QString mime;
    QByteArray data; // the whole file
    bool operator==(const PendingAttachment&) const = default;
};

inline constexpr qint64 kMaxAttachmentBytes = 10LL * 1024 * 1024;
inline constexpr int kMaxAttachments = 5;

// The media type for a file name's extension (the text after its last full stop);
// "application/octet-stream" when there is none or the type registry knows none.
QString mimeTypeForName(const QString& fileName);
// "2 KB", "1024 KB", "1.0 MB", "10.0 MB".
QString sizeLabel(qint64 bytes);

// Why a file was not taken.
enum class ReadRefusal { Unreadable, TooLarge };
// Reads the file at `path` within the limit: its size is asked first, and no more than the
// limit and one byte is ever read, so a huge file costs nothing to refuse.
std::variant<PendingAttachment, ReadRefusal> readAttachment(const QString& path,
                                                            qint64 limit = kMaxAttachmentBytes);

class AttachmentListModel : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Each form holds its own list.")
    Q_PROPERTY(int count READ count NOTIFY countChanged)
public:
    enum Role { IdRole = Qt::UserRole + 1, NameRole, MimeRole, SizeLabelRole };

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_items.size()); }
    const QList<PendingAttachment>& items() const { return m_items; }
    void append(PendingAttachment attachment);
    // Removes every entry with this id.
    void remove(const QUuid& id);
    void clear();

signals:
    void countChanged();

private:
    QList<PendingAttachment> m_items;
};

} // namespace kalvorin::create
