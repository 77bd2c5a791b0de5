#pragma once

// The demo organisation's fixed data: an Arabic government body with its
// processing units, staff, reporter organisation, service catalogue and people.

#include <QList>
#include <QString>

namespace devserver::seeddata {

struct Scope {
    const char* id;
    const char* type;
    const char* typeLabel;
    const char* name; // nullptr: known only by its path
    const char* path;
    const char* unit;
};

struct Staff {
    const char* username;
    const char* name;
    const char* role;
    const char* scopeId; // nullptr for the administrator
    const char* unit;
    int orgIndex; // into orgUnits(), -1 none
};

struct OrgUnit {
    const char* department;
    const char* admin;
    const char* division;
    const char* section;
};

struct Service {
    int id;
    const char* name;
    const char* category;
    const char* priority; // code
    const char* scopeId;
    const char* region;
    const char* titles[3]; // typical ticket titles
    const char* description;
};

const QList<Scope>& scopes();
const QList<Staff>& staff();
const QList<OrgUnit>& orgUnits();
const QList<Service>& services();
const QList<const char*>& routeReasons();
const QList<const char*>& rejectReasons();
const QList<const char*>& firstNames();
const QList<const char*>& familyNames();
const QList<const char*>& latinFirst();
const QList<const char*>& latinFamily();
const QList<const char*>& comments();

// Demo passwords per role.
QString passwordFor(const QString& role);

} // namespace devserver::seeddata
