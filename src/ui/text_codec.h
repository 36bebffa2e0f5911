#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quorvela::ui {

// The settings file and the metadata hold Windows-1252 texts; the controls hold Unicode.
QString FromCp1252(std::string_view bytes);
// Characters outside Windows-1252 become "?".
std::string ToCp1252(const QString& text);

// File names are used as the file system gives them (UTF-8).
inline QString FromUtf8(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string ToUtf8(const QString& text) {
    return text.toUtf8().toStdString();
}

}  // namespace quorvela::ui
