// Requester helpers of the Qt realization, open to its tests.
#pragma once

#include <QStringList>
#include <string>

// "label|*.a;*.b|..." as Qt name filters: "label (*.a *.b)", of which the
// requester shows the label only. "*.*" and "*.exe" match every name: the
// one on Windows too, the other is QtProgramFilter's business.
QStringList QtNameFilters(const std::string& filterList);
// 1 when the filter pair at the index stands for programs ("*.exe"): on
// Linux the requester then shows folders, executable files and .exe files.
bool QtProgramFilter(const std::string& filterList, int index);
