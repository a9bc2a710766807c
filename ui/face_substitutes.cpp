#include "ui/face_substitutes.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace tambrel {

void installFaceSubstitutes() {
    // The faces by their native names, as the language rows give them, then by their English
    // names, then the free fonts of the same script that Debian and most desktops ship.
    struct Substitute {
        const char16_t* face;
        QStringList standIns;
    };
    const Substitute substitutes[] = {
        {u"\uFF2D\uFF33\u0020\uFF30\u30B4\u30B7\u30C3\u30AF", // MS PGothic
         {QStringLiteral("MS PGothic"), QStringLiteral("MS UI Gothic"),
          QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAPGothic"),
          QStringLiteral("VL PGothic")}},
        {u"\uAD74\uB9BC", // Gulim
         {QStringLiteral("Gulim"), QStringLiteral("Noto Sans CJK KR"), QStringLiteral("UnDotum")}},
        {u"\u65B0\u7D30\u660E\u9AD4", // PMingLiU
         {QStringLiteral("PMingLiU"), QStringLiteral("Noto Sans CJK TC"),
          QStringLiteral("AR PL UMing TW")}},
        {u"\u5B8B\u4F53", // SimSun
         {QStringLiteral("SimSun"), QStringLiteral("Noto Sans CJK SC"),
          QStringLiteral("AR PL UMing CN")}},
    };
    for (const Substitute& substitute : substitutes)
        QFont::insertSubstitutions(QString::fromUtf16(substitute.face), substitute.standIns);
}

} // namespace tambrel
