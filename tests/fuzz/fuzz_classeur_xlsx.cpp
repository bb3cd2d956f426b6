// Fuzzes the .xlsx reader: the input gives the sheet, then optionally the shared strings, the
// styles, the workbook and its relationships, each an XML entry of a real zip.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_classeur.h"

using namespace tarvo;

namespace {

constexpr std::string_view classeur_xml =
    R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><workbookPr date1904="false"/><sheets><sheet name="Relevé" sheetId="1" r:id="rId1"/></sheets></workbook>)";
constexpr std::string_view relations_xml =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)";
// A date, a time, a date-time and a custom date-time style, as loggers' sheets carry them.
constexpr std::string_view styles_xml =
    R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><numFmts count="1"><numFmt numFmtId="164" formatCode="dd/mm/yyyy\ hh:mm:ss"/></numFmts><cellXfs count="5"><xf numFmtId="0"/><xf numFmtId="14" applyNumberFormat="1"/><xf numFmtId="21"/><xf numFmtId="22"/><xf numFmtId="164"/></cellXfs></styleSheet>)";
constexpr std::string_view chaines_xml =
    R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><si><t>Date</t></si><si><t>Niveau (m)</t></si><si><r><t>Temp</t></r><r><t>érature</t></r></si></sst>)";

// An entry the input does not reach (fewer separators) keeps the workbook's own; one it
// gives, even empty, replaces it.
std::string_view ou(std::string_view donnee, std::string_view defaut) {
    return donnee.data() == nullptr ? defaut : donnee;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    static const std::string chemin = fuzz::sous_dossier("donnees") + "releve.xlsx";
    const auto p = fuzz::parties<5>(donnees, taille);
    fuzz::ecrire_zip(chemin, {{"xl/worksheets/sheet1.xml", p[0]},
                              {"xl/sharedStrings.xml", ou(p[1], chaines_xml)},
                              {"xl/styles.xml", ou(p[2], styles_xml)},
                              {"xl/workbook.xml", ou(p[3], classeur_xml)},
                              {"xl/_rels/workbook.xml.rels", ou(p[4], relations_xml)}});
    fuzz::convertir(chemin);
    return 0;
}
