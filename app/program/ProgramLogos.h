// The program's two logos (our own SVG pictures in the program's resources), drawn at a height.
#pragma once

#include <QPixmap>
#include <QString>

inline constexpr const char* kCompanyLogo = ":/images/tolvane_logo.svg";
inline constexpr const char* kProgramLogo = ":/images/kestrin_logo.svg";

QPixmap LogoPixmap(const QString& resource, int height);
