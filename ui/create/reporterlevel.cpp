#include "reporterlevel.h"

#include "createticketform.h"

namespace kalvorin::create {

namespace {
struct LevelText {
    const char* label;
    const char* emptyChoice;
    const char* icon;
};
constexpr LevelText kLevels[] = {
    {"الوحدة التنظيمية المستقلة", "اختر الوحدة التنظيمية", "building.columns"},
    {"الإدارة", "اختر الإدارة", "building.2.crop.circle"},
    {"الشعبة", "اختر الشعبة", "square.3.layers.3d"},
    {"الوحدة", "اختر الوحدة", "person.3.sequence"},
};
} // namespace

ReporterLevel::ReporterLevel(int level, CreateTicketForm* form)
    : QObject(form), m_level(level), m_form(form) {}

QString ReporterLevel::label() const {
    return QString::fromUtf8(kLevels[m_level - 1].label);
}
QString ReporterLevel::emptyChoice() const {
    return QString::fromUtf8(kLevels[m_level - 1].emptyChoice);
}
QString ReporterLevel::icon() const {
    return QString::fromLatin1(kLevels[m_level - 1].icon);
}

QString ReporterLevel::value() const {
    return m_form->reporterField(m_level);
}

void ReporterLevel::setValue(const QString& value) {
    m_form->setReporterField(m_level, value);
}

QStringList ReporterLevel::options() const {
    return m_form->levelOptions(m_level);
}

QStringList ReporterLevel::choices() const {
    return QStringList{emptyChoice()} + options();
}

int ReporterLevel::currentIndex() const {
    const QString current = value().trimmed();
    return current.isEmpty() ? 0 : int(options().indexOf(current)) + 1;
}

void ReporterLevel::setCurrentIndex(int index) {
    const QStringList list = options();
    setValue(index >= 1 && index <= list.size() ? list.at(index - 1) : QString());
}

void ReporterLevel::setEditing(bool editing) {
    if (editing == m_editing)
        return;
    m_editing = editing;
    emit changed();
}

} // namespace kalvorin::create
