#include "pendingattachments.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

namespace kalvorin::create {

QString mimeTypeForName(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : fileName.mid(dot + 1);
    const QString fallback = QStringLiteral("application/octet-stream");
    if (extension.isEmpty())
        return fallback;
    // Only the extension decides: a bare name such as "README" must not match a name pattern.
    const QMimeType type =
        QMimeDatabase().mimeTypeForFile(QStringLiteral("file.") + extension, QMimeDatabase::MatchExtension);
    return type.isValid() && !type.isDefault() && !type.name().isEmpty() ? type.name() : fallback;
}

QString sizeLabel(qint64 bytes) {
    const double kb = double(bytes) * 0.0009765625;
    if (kb < 1024)
        return QString::asprintf("%.0f KB", kb);
    return QString::asprintf("%.1f MB", kb * 0.0009765625);
}

std::variant<PendingAttachment, ReadRefusal> readAttachment(const QString& path, qint64 limit) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReadRefusal::Unreadable;
    if (!file.isSequential() && file.size() > limit)
        return ReadRefusal::TooLarge;
    QByteArray data = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return ReadRefusal::Unreadable;
    if (data.size() > limit) // it grew since its size was asked, or it is a stream
        return ReadRefusal::TooLarge;
    const QString name = QFileInfo(path).fileName();
    return PendingAttachment{QUuid::createUuid(), name, mimeTypeForName(name), std::move(data)};
}

int AttachmentListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant AttachmentListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const PendingAttachment& a = m_items.at(index.row());
    switch (role) {
    case IdRole:
        return a.id.toString(QUuid::WithoutBraces);
    case Qt::DisplayRole:
    case NameRole:
        return a.name;
    case MimeRole:
        return a.mime;
    case SizeLabelRole:
        return sizeLabel(a.data.size());
    default:
        return {};
    }
}

QHash<int, QByteArray> AttachmentListModel::roleNames() const {
    return {{IdRole, "attachmentId"}, {NameRole, "name"}, {MimeRole, "mime"}, {SizeLabelRole, "sizeLabel"}};
}

void AttachmentListModel::append(PendingAttachment attachment) {
    const int row = int(m_items.size());
    beginInsertRows({}, row, row);
    m_items.append(std::move(attachment));
    endInsertRows();
    emit countChanged();
}

void AttachmentListModel::remove(const QUuid& id) {
    bool removed = false;
    for (int row = int(m_items.size()) - 1; row >= 0; --row) {
        if (m_items.at(row).id != id)
            continue;
        beginRemoveRows({}, row, row);
        m_items.removeAt(row);
        endRemoveRows();
        removed = true;
    }
    if (removed)
        emit countChanged();
}

void AttachmentListModel::clear() {
    if (m_items.isEmpty())
        return;
    beginRemoveRows({}, 0, int(m_items.size()) - 1);
    m_items.clear();
    endRemoveRows();
    emit countChanged();
}

} // namespace kalvorin::create
