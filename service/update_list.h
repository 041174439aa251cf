#pragma once

#include <QByteArray>
#include <QString>

// The update check's answer: the components listed in the data folder's "updates.xml" whose
// version is newer than the asking program's, in document order. The file holds
//   <updates><component><name>NEREVA Desktop 0.8.0</name><version>0.8.0</version>
//            <language>es</language></component>...</updates>
// ("language" optional: the component is then offered only to that language). Without the
// file nothing is newer.
namespace UpdateList {

QByteArray answer(const QString& dataDir, const QString& version, const QString& language);

}  // namespace UpdateList
