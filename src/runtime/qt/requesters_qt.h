// Requester helpers of the Qt realization, open to its tests.
#pragma once

#include <QStringList>
#include <string>

// "label|*.a;*.b|..." as Qt name filters: "label (*.a *.b)".
QStringList QtNameFilters(const std::string& filterList);
