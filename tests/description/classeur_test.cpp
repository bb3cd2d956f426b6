#include "description/classeur.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "formats/cp1252.h"
#include "tests/description/dossier_temporaire.h"

namespace tarvo {
namespace {

using classeur::GenreDate;
using Parties = std::vector<std::pair<std::string, std::string>>;

// Writes a zip of the given parts; `chiffre` protects them with a password.
void ecrire_zip(const std::string& chemin, const Parties& parties, bool chiffre = false) {
    int erreur = 0;
    zip_t* z = zip_open(chemin_natif(chemin).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &erreur);
    ASSERT_NE(z, nullptr);
    for (const auto& [nom, contenu] : parties) {
        zip_source_t* s = zip_source_buffer(z, contenu.data(), contenu.size(), 0);
        ASSERT_NE(s, nullptr);
        const zip_int64_t i = zip_file_add(z, nom.c_str(), s, ZIP_FL_OVERWRITE);
        ASSERT_GE(i, 0);
        if (chiffre) {
            ASSERT_EQ(
                zip_file_set_encryption(z, static_cast<zip_uint64_t>(i), ZIP_EM_AES_256, "secret"),
                0);
        }
    }
    ASSERT_EQ(zip_close(z), 0);
}

// Cell styles of the test workbooks: 0 general, 1 built-in date (14), 2 custom time,
// 3 built-in date-time (22), 4 custom with "d" only inside quotes, 5 custom date-time.
const char* const styles_xlsx = R"(<?xml version="1.0" encoding="UTF-8"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="3"><numFmt numFmtId="164" formatCode="hh:mm:ss"/>
<numFmt numFmtId="165" formatCode="0.0&quot; days&quot;"/>
<numFmt numFmtId="166" formatCode="yyyy\-mm\-dd\ hh:mm"/></numFmts>
<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>
<cellXfs count="6"><xf numFmtId="0"/><xf numFmtId="14" applyNumberFormat="1"/>
<xf numFmtId="164"/><xf numFmtId="22"/><xf numFmtId="165"/><xf numFmtId="166"/></cellXfs>
</styleSheet>)";

// An .xlsx with one sheet per (name, sheetData content), the given shared strings.
Parties parties_xlsx(const std::vector<std::pair<std::string, std::string>>& feuilles,
                     const std::vector<std::string>& chaines) {
    std::string classeur =
        R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)";
    std::string rels =
        R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
    Parties parties;
    for (std::size_t i = 0; i < feuilles.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        classeur += "<sheet name=\"" + feuilles[i].first + "\" sheetId=\"" + n + "\" r:id=\"rId" +
                    n + "\"/>";
        rels += "<Relationship Id=\"rId" + n +
                "\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/"
                "worksheet\" Target=\"worksheets/sheet" +
                n + ".xml\"/>";
        parties.emplace_back(
            "xl/worksheets/sheet" + n + ".xml",
            R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
                feuilles[i].second + "</sheetData></worksheet>");
    }
    classeur += "</sheets></workbook>";
    rels +=
        R"(<Relationship Id="rIdS" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="/xl/sharedStrings.xml"/>)";
    rels +=
        R"(<Relationship Id="rIdT" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)";
    std::string sst =
        R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)";
    for (const auto& c : chaines) sst += "<si>" + c + "</si>";
    sst += "</sst>";
    parties.emplace_back("xl/workbook.xml", classeur);
    parties.emplace_back("xl/_rels/workbook.xml.rels", rels);
    parties.emplace_back("xl/sharedStrings.xml", sst);
    parties.emplace_back("xl/styles.xml", styles_xlsx);
    return parties;
}

std::string contenu_ods(const std::vector<std::pair<std::string, std::string>>& feuilles) {
    std::string c =
        R"(<?xml version="1.0" encoding="UTF-8"?><office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:calcext="urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0"><office:body><office:spreadsheet>)";
    for (const auto& [nom, lignes] : feuilles)
        c += "<table:table table:name=\"" + nom + "\"><table:table-column/>" + lignes +
             "</table:table>";
    return c + "</office:spreadsheet></office:body></office:document-content>";
}

Parties parties_ods(const std::vector<std::pair<std::string, std::string>>& feuilles) {
    return {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet"},
            {"content.xml", contenu_ods(feuilles)}};
}

class ClasseurTest : public DossierTemporaire {};

struct CasConversion {
    std::string nom;
    std::string extension;
    Parties parties;
    int feuille;
    std::string attendu;      // converted file
    std::string nom_feuille;  // Windows-1252
};

TEST_F(ClasseurTest, ConvertitLaFeuilleDemandee) {
    const std::vector<std::string> chaines = {
        "<t>date</t>", "<t>niveau;m</t>", "<r><t>ri</t></r><r><t>che</t></r><rPh><t>x</t></rPh>",
        "<t>été €</t>"};
    const std::string deux_feuilles_ods = contenu_ods(
        {{"Une",
          "<table:table-row><table:table-cell "
          "office:value-type=\"string\"><text:p>un</text:p></table:table-cell></table:table-row>"},
         {"Deux",
          "<table:table-row><table:table-cell "
          "office:value-type=\"string\"><text:p>deux</text:p></table:table-cell></"
          "table:table-row>"}});
    const std::vector<CasConversion> cas = {
        {"chaines partagees et en ligne, point-virgule, booleens", ".xlsx",
         parties_xlsx({{"Mesures",
                        R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c></row>
                           <row r="2"><c r="A2" t="inlineStr"><is><t>en ligne</t></is></c><c r="B2" t="s"><v>2</v></c></row>
                           <row r="3"><c r="A3" t="b"><v>1</v></c><c r="B3" t="b"><v>0</v></c></row>
                           <row r="4"><c r="A4" t="s"><v>3</v></c><c r="B4" t="inlineStr"><is><t>a&#10;b&#9;c Ω</t></is></c></row>
                           <row r="5"><c r="A5" t="str"><f>A1</f><v>formule</v></c><c r="B5" t="e"><v>#N/A</v></c></row>)"}},
                      chaines),
         1, fr("date;niveau;m\r\nen ligne;riche\r\nVRAI;FAUX\r\nété €;a b c ?\r\nformule;#N/A\r\n"),
         "Mesures"},
        {"nombres au plus court, virgule decimale", ".xlsx",
         parties_xlsx(
             {{"N",
               R"(<row r="1"><c r="A1"><v>1.5</v></c><c r="B1"><v>0.1</v></c><c r="C1"><v>1000000</v></c>
                                <c r="D1"><v>-2</v></c><c r="E1"><v>1E-7</v></c><c r="F1"><v>0.30000000000000004</v></c>
                                <c r="G1" s="4"><v>2.5</v></c><c r="H1"><v>1e20</v></c></row>)"}},
             {}),
         1, "1,5;0,1;1000000;-2;1e-07;0,30000000000000004;2,5;1e+20\r\n", "N"},
        {"dates, heures et dates-heures", ".xlsx",
         parties_xlsx(
             {{"D",
               R"(<row r="1"><c r="A1" s="1"><v>45285</v></c><c r="B1" s="2"><v>0.336805555555556</v></c>
                                <c r="C1" s="3"><v>45285.3368055556</v></c><c r="D1" s="5"><v>45285.5</v></c>
                                <c r="E1" s="1"><v>45285.99999</v></c><c r="F1" t="d"><v>2023-12-25T08:05:00</v></c></row>)"}},
             {}),
         1,
         "25/12/2023;08:05:00;25/12/2023 08:05:00;25/12/2023 12:00:00;25/12/2023;25/12/2023 "
         "08:05:00\r\n",
         "D"},
        {"cellules vides dans la plage, plage hors de A1, lignes sautees", ".xlsx",
         parties_xlsx(
             {{"V",
               R"(<row r="2"><c r="B2" t="inlineStr"><is><t>a</t></is></c><c r="D2"><v>4</v></c></row>
                                <row r="3"><c r="C3" s="1"/></row>
                                <row r="5"><c r="C5"><v>5</v></c></row>)"}},
             {}),
         1, "a;;4\r\n;;\r\n;;\r\n;5;\r\n", "V"},
        {"feuille 0 lit la premiere", ".xlsx",
         parties_xlsx({{"Première", R"(<row><c><v>1</v></c></row>)"},
                       {"Seconde", R"(<row><c><v>2</v></c></row>)"}},
                      {}),
         0, "1\r\n", fr("Première")},
        {"feuille negative lit la premiere", ".xlsx",
         parties_xlsx(
             {{"A", R"(<row><c><v>1</v></c></row>)"}, {"B", R"(<row><c><v>2</v></c></row>)"}}, {}),
         -4, "1\r\n", "A"},
        {"deuxieme feuille", ".xlsm",
         parties_xlsx({{"A", R"(<row><c><v>1</v></c></row>)"},
                       {"B", R"(<row><c><v>2</v></c><c><v>4</v></c></row>)"}},
                      {}),
         2, "2;4\r\n", "B"},
        {"ods: types, repetitions, texte", ".ods", parties_ods({{"Relevé", R"(
            <table:table-row table:number-rows-repeated="2"><table:table-cell table:number-columns-repeated="3"/></table:table-row>
            <table:table-row>
              <table:table-cell/>
              <table:table-cell office:value-type="float" office:value="1.5" calcext:value-type="float"><text:p>1,50</text:p></table:table-cell>
              <table:table-cell office:value-type="date" office:date-value="2023-12-25"><text:p>25/12/23</text:p></table:table-cell>
              <table:table-cell office:value-type="time" office:time-value="PT08H05M00S"/>
              <table:table-cell office:value-type="date" office:date-value="2023-12-25T08:05:00"/>
              <table:table-cell office:value-type="boolean" office:boolean-value="true"/>
              <table:table-cell office:value-type="string"><text:p>a<text:s text:c="2"/>b;c</text:p><text:p>d<text:span>e</text:span></text:p><office:annotation><text:p>note</text:p></office:annotation></table:table-cell>
              <table:table-cell table:number-columns-repeated="16375"/>
            </table:table-row>
            <table:table-row table:number-rows-repeated="2">
              <table:table-cell table:number-columns-repeated="2" office:value-type="float" office:value="7"/>
              <table:table-cell table:number-columns-repeated="16382"/>
            </table:table-row>
            <table:table-row table:number-rows-repeated="1048570"><table:table-cell table:number-columns-repeated="16384"/></table:table-row>)"}}),
         1,
         ";1,5;25/12/2023;08:05:00;25/12/2023 08:05:00;VRAI;a  b;c de\r\n7;7;;;;;\r\n7;7;;;;;\r\n",
         fr("Relevé")},
        {"ods: feuille 2", ".ods", {{"content.xml", deux_feuilles_ods}}, 2, "deux\r\n", "Deux"},
        {"ods: feuille 0", ".ods", {{"content.xml", deux_feuilles_ods}}, 0, "un\r\n", "Une"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        const std::string classeur = chemin("classeur" + c.extension);
        ecrire_zip(classeur, c.parties);
        const auto r = convertir_classeur(classeur, c.feuille, chemin("~tmp_xls.csv"));
        EXPECT_TRUE(r.reussi) << r.erreur;
        EXPECT_EQ(r.nom_feuille, c.nom_feuille);
        EXPECT_EQ(lire("~tmp_xls.csv"), c.attendu);
    }
}

struct CasErreur {
    std::string nom;
    std::string fichier;
    std::string contenu;  // raw bytes, or empty to use `parties`
    Parties parties;
    bool chiffre;
    int feuille;
    std::string erreur_contient;  // UTF-8
};

TEST_F(ClasseurTest, RefuseSansToucherAuFichierConverti) {
    std::string xlsx_complet;
    {
        ecrire_zip(chemin("complet.xlsx"),
                   parties_xlsx({{"A", R"(<row><c><v>1</v></c></row>)"}}, {}));
        xlsx_complet = lire("complet.xlsx");
    }
    const std::string ole = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1" + std::string(600, '\x07');
    const std::vector<CasErreur> cas = {
        {"feuille au-dela du nombre", "a.xlsx", "",
         parties_xlsx({{"A", "<row><c><v>1</v></c></row>"}, {"B", ""}}, {}), false, 3,
         "la feuille 3 n'existe pas : le classeur n'a que 2 feuille(s)"},
        {"feuille ods au-dela du nombre", "a.ods", "", parties_ods({{"A", ""}}), false, 2,
         "la feuille 2 n'existe pas : le classeur n'a que 1 feuille(s)"},
        {"feuille vide", "v.xlsx", "",
         parties_xlsx({{"A", R"(<row r="1"><c r="A1" s="1"/></row>)"}}, {}), false, 1,
         " problème, memo1 vide!!!"},
        {"feuille ods vide", "v.ods", "",
         parties_ods(
             {{"A",
               R"(<table:table-row table:number-rows-repeated="1048576"><table:table-cell table:number-columns-repeated="1024"/></table:table-row>)"}}),
         false, 1, " problème, memo1 vide!!!"},
        {"plage demesuree", "g.ods", "",
         parties_ods(
             {{"A",
               R"(<table:table-row table:number-rows-repeated="1048576"><table:table-cell table:number-columns-repeated="100" office:value-type="float" office:value="1"/></table:table-row>)"}}),
         false, 1, "feuille trop grande : 104857600 cellules"},
        {"zip tronque",
         "t.xlsx",
         xlsx_complet.substr(0, xlsx_complet.size() / 2),
         {},
         false,
         1,
         "classeur endommagé ou illisible"},
        {"zip altere",
         "t.xlsx",
         [&] {
             std::string s = xlsx_complet;
             for (std::size_t i = 40; i < s.size() / 2; i += 7) s[i] = static_cast<char>(~s[i]);
             return s;
         }(),
         {},
         false,
         1,
         "classeur endommagé ou illisible"},
        {"xml casse", "x.xlsx", "",
         parties_xlsx({{"A", R"(<row><c><v>1</v></c></row><row><c><v>)"}}, {}), false, 1,
         "classeur endommagé ou illisible"},
        {"entites declarees",
         "x.xlsx",
         "",
         {{"xl/workbook.xml",
           R"(<?xml version="1.0"?><!DOCTYPE a [<!ENTITY e "xxxxxxxx">]><workbook>&e;</workbook>)"}},
         false,
         1,
         "classeur endommagé ou illisible"},
        {"parties chiffrees", "p.xlsx", "",
         parties_xlsx({{"A", R"(<row><c><v>1</v></c></row>)"}}, {}), true, 1,
         "classeur protégé par un mot de passe"},
        {"paquet chiffre d'un xlsx protege",
         "p.xlsx",
         ole,
         {},
         false,
         1,
         "classeur protégé par un mot de passe"},
        {"xls endommage", "e.xls", ole, {}, false, 1, "classeur endommagé ou illisible"},
        {"ni zip ni xls",
         "n.xlsx",
         "date;niveau\r\n",
         {},
         false,
         1,
         "format de classeur non reconnu"},
        {"zip sans classeur",
         "z.xlsx",
         "",
         {{"autre.txt", "x"}},
         false,
         1,
         "format de classeur non reconnu"},
        {"fichier absent", "absent.xlsx", "", {}, false, 1, "impossible d'ouvrir le classeur"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        if (!c.contenu.empty())
            creer(c.fichier, c.contenu);
        else if (!c.parties.empty())
            ecrire_zip(chemin(c.fichier), c.parties, c.chiffre);
        creer("~tmp_xls.csv", "ancien\r\n");
        const auto r = convertir_classeur(chemin(c.fichier), c.feuille, chemin("~tmp_xls.csv"));
        EXPECT_FALSE(r.reussi);
        EXPECT_NE(cp1252_vers_utf8(r.erreur).find(c.erreur_contient), std::string::npos)
            << cp1252_vers_utf8(r.erreur);
        EXPECT_EQ(lire("~tmp_xls.csv"), "ancien\r\n");
        EXPECT_EQ(r.feuille_vide, c.erreur_contient == " problème, memo1 vide!!!");
    }
}

// releve.xls is written by releve.py beside it (Debian's python3-xlwt, a BIFF8 writer).
TEST_F(ClasseurTest, LitUnClasseurXls) {
    const std::string xls = (std::filesystem::path(TARVO_DONNEES_REELLES).parent_path() /
                             "description" / "classeurs" / "releve.xls")
                                .string();
    const std::string releve =
        fr("date;niveau;m;;état\r\n25/12/2023 08:05:00;1,5;1;42\r\n26/12/2023;-0,25;;\r\n"
           "23:59:59;;;fin\r\n");
    const std::vector<std::tuple<int, std::string, std::string>> cas = {
        {1, fr("Relevé"), releve},
        {0, fr("Relevé"), releve},
        {2, "Seconde", "deux\r\n"},
    };
    for (const auto& [feuille, nom, attendu] : cas) {
        SCOPED_TRACE(feuille);
        const auto r = convertir_classeur(xls, feuille, chemin("~tmp_xls.csv"));
        EXPECT_TRUE(r.reussi) << r.erreur;
        EXPECT_EQ(r.nom_feuille, nom);
        EXPECT_EQ(lire("~tmp_xls.csv"), attendu);
    }
    const auto r = convertir_classeur(xls, 3, chemin("~tmp_xls.csv"));
    EXPECT_NE(cp1252_vers_utf8(r.erreur).find("la feuille 3 n'existe pas"), std::string::npos);
}

// endommage.xls is releve.xls with six bytes changed, enough to make libfreexl 1.0.6 fault:
// the conversion must report it and leave the converted file as it was.
TEST_F(ClasseurTest, SurvitAUnXlsQuiFaitPlanterLaBibliotheque) {
    const std::string xls = (std::filesystem::path(TARVO_DONNEES_REELLES).parent_path() /
                             "description" / "classeurs" / "endommage.xls")
                                .string();
    creer("~tmp_xls.csv", "ancien\r\n");
    const auto r = convertir_classeur(xls, 1, chemin("~tmp_xls.csv"));
    EXPECT_FALSE(r.reussi);
    EXPECT_EQ(cp1252_vers_utf8(r.erreur), "classeur endommagé ou illisible : <" + xls + ">");
    EXPECT_EQ(lire("~tmp_xls.csv"), "ancien\r\n");
    EXPECT_FALSE(existe("~tmp_xls.csv.~ecriture"));
}

TEST(ClasseurFormats, ReconnaitLesFormatsDeDate) {
    const std::vector<std::pair<std::string, GenreDate>> codes = {
        {"General", GenreDate::aucun},
        {"0.00", GenreDate::aucun},
        {"0.00E+00", GenreDate::aucun},
        {"dd/mm/yyyy", GenreDate::date},
        {"mmm-yy", GenreDate::date},
        {"mmmm", GenreDate::date},
        {"hh:mm:ss", GenreDate::heure},
        {"[h]:mm:ss", GenreDate::heure},
        {"mm:ss.0", GenreDate::heure},
        {"dd/mm/yyyy hh:mm", GenreDate::date_heure},
        {"[$-40C]d mmmm yyyy;@", GenreDate::date},
        {"[Red]0.00", GenreDate::aucun},
        {"0.0\" days\"", GenreDate::aucun},
        {"0\\d", GenreDate::aucun},
        {"#,##0_);[Red](#,##0)", GenreDate::aucun},
    };
    for (const auto& [code, genre] : codes)
        EXPECT_EQ(classeur::genre_format_nombre(code), genre) << code;
    const std::vector<std::pair<int, GenreDate>> ids = {
        {0, GenreDate::aucun},       {13, GenreDate::aucun}, {14, GenreDate::date},
        {17, GenreDate::date},       {18, GenreDate::heure}, {21, GenreDate::heure},
        {22, GenreDate::date_heure}, {23, GenreDate::aucun}, {44, GenreDate::aucun},
        {45, GenreDate::heure},      {47, GenreDate::heure}, {48, GenreDate::aucun},
    };
    for (const auto& [id, genre] : ids)
        EXPECT_EQ(classeur::genre_format_predefini(id), genre) << id;
}

TEST(ClasseurFormats, EcritNombresEtDates) {
    const std::vector<std::pair<double, std::string>> nombres = {
        {0, "0"},
        {1.5, "1,5"},
        {-0.25, "-0,25"},
        {1e6, "1000000"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1e+15"},
        {0.00001, "0,00001"},
        {1e-7, "1e-07"},
        {2.0 / 3, "0,6666666666666666"}};
    for (const auto& [v, texte] : nombres) EXPECT_EQ(classeur::texte_nombre(v), texte);
    const std::vector<std::tuple<double, GenreDate, std::string>> dates = {
        {45285.25, GenreDate::date_heure, "25/12/2023 06:00:00"},
        {45285.25, GenreDate::date, "25/12/2023"},
        {45285.25, GenreDate::heure, "06:00:00"},
        {1.75, GenreDate::heure, "18:00:00"},
        {1e9, GenreDate::date, ""}};
    for (const auto& [v, g, texte] : dates) EXPECT_EQ(classeur::texte_date(v, g), texte) << v;
    EXPECT_DOUBLE_EQ(classeur::date_iso("2023-12-25T06:00:00"), 45285.25);
    EXPECT_DOUBLE_EQ(classeur::date_iso("1899-12-30"), 0);
    EXPECT_EQ(classeur::date_iso("2023-02-30"), -1);
    EXPECT_EQ(classeur::date_iso("25/12/2023"), -1);
}

}  // namespace
}  // namespace tarvo
