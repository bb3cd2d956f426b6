#include "formats/codes_nom_fichier.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/nombres.h"

namespace tarvo {
namespace {

// A day far from today, so that "no date" cannot pass by chance.
constexpr double jour_fixe = 40000.0;

using Lignes = std::vector<std::string>;

struct CasStation {
    std::string nom;
    std::string code;
    std::string station;
};

struct CasDate {
    std::string nom;
    std::string code;
    std::string texte;  // empty: no date
    Lignes journal;     // the lines the reading leaves in the log
};

// The timestamp a successful reading must give, from its "aaaa/mm/jj" text.
double date_attendue(const std::string& texte) {
    const auto annee = lire_entier(texte.substr(0, 4));
    const auto mois = lire_entier(texte.substr(5, 2));
    const auto jour = lire_entier(texte.substr(8, 2));
    if (!annee || !mois || !jour) return -1;
    return date_civile(*annee, *mois, *jour).value_or(-1);
}

void verifier_dates(const std::vector<CasDate>& cas) {
    for (const CasDate& c : cas) {
        SCOPED_TRACE(c.nom + "  avec  " + c.code);
        JournalSuivi journal;
        const DateNomFichier lue = lire_date_nom_fichier(c.nom, c.code, journal, jour_fixe);
        EXPECT_EQ(lue.texte, c.texte);
        EXPECT_EQ(lue.date, c.texte.empty() ? jour_fixe : date_attendue(c.texte));
        EXPECT_EQ(journal.lignes(), c.journal);
    }
}

std::string reel(const std::string& chemin) {
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(TARVO_DONNEES_REELLES) / chemin))
        << chemin;
    return std::filesystem::path(chemin).filename().string();
}

TEST(NormaliserNom, ExtensionTiretsEtSeparateurs) {
    const std::vector<std::pair<std::string, std::string>> cas = {
        {"SCAN 07 01 21_09 01 21.txt", "SCAN_07_01_21_09_01_21"},
        {"DEV2136-20170418-212124Z-Data.dat", "DEV2136_20170418_212124Z_Data"},
        {"niveau-m_240502121714_T7418.CSV1", "niveau-m_240502121714_T7418"},
        {"releve.2021.11.csv", "releve.2021.11"},
        {"a-b.x_y", "a_b"},  // the "_" of the removed extension does not count
        {"nom,1;2", "nom_1_2"},
        {"", ""},
    };
    for (const auto& [nom, attendu] : cas) EXPECT_EQ(normaliser_nom(nom), attendu) << nom;
}

TEST(CodeStation, FormesDuCode) {
    const std::vector<CasStation> cas = {
        {"Sonde7_2021_11_10_00.csv", "1,3", "Sonde711"},
        {"Capt_45_202101.CSV", "3(00xx)", "21"},
        {"logrpdv201015.mv", "1(0000xxx)", "pdv"},
        {"Site3_Baro_12.csv", "1,Baro?", "Site3-Baro"},
        {"Site3_T_12.csv", "1,Baro?", "Site3"},
        {"Site3_baro_12.csv", "1,BARO?", "Site3-BARO"},
        {"Site3_T_12.csv", "1", "Site3"},
        {"Puits-Nord;2.csv", "1", "Puits"},
        {"Site3_T_12.csv", "Nord", "Nord"},
        {"Puits-Nord;2.csv", "Nord", "Nord"},
        {"Puits Nord.csv", "1,E,2", "Puits Nord"},
        {"Puits Nord.csv", "\"1,E,2\"", "Puits Nord"},
        {"Site3_T_12.csv", "1,\"-\",2", "Site3-T"},
        {"Site3_T_12.csv", "1,\"E\",2", "Site3ET"},
        {"Site3_T_12.csv", "4", "csv"},  // the extension is the last syllable
        {"Site3_T_12.csv", "9", ""},
        {"Capt_45_2021.CSV", "2(xx),3(0000xx)", "45"},  // mask longer than the syllable
        {"  Site3_T_12.csv  ", "1,3", "Site312"},
        {"   ", "Nord", ""},
        {"Site3_T_12.csv", "99999999999999999999", ""},
        {"Site3_T_12.csv", "3(", "3("},  // no closing parenthesis: literal
        {"Site3_T_12.csv", "3()", ""},
        {"Site_" + fr("été") + ".csv", "1," + fr("ÉTÉ") + "?", "Site-" + fr("ÉTÉ")},
    };
    for (const CasStation& c : cas)
        EXPECT_EQ(lire_code_station(c.nom, c.code), c.station) << c.nom << "  avec  " << c.code;
}

TEST(CodeStation, NomsDeFichiersReels) {
    const std::string keller =
        reel("keller-logger/3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt");
    const std::string hobo = reel("onset-hobo/QU5_Mooring_15m_20392468_20210803.csv");
    const std::string campbell =
        reel("campbell-toa5/exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat");
    const std::string diver = reel("vanessen-diver-mon/ff_b29d_091125120713_C4080.MON");
    const std::string exo = reel("ysi-exo-kor/LNB GM Cont data 090821_092021 RAW.csv");
    const std::string watina = reel("inbo-watina-csv/BAOL031X_T5740.csv");
    const std::vector<CasStation> cas = {
        {keller, "3", "ROLLEGEM"},
        {keller, "1,-,2", "3-0057"},
        {hobo, "1,E,3", "QU5 15m"},
        {hobo, "1,mooring?", "QU5-mooring"},
        {hobo, "4", "20392468"},
        {campbell, "5,-,6", "CH-OE2"},
        {diver, "4,E,3(xxxxxx)", "C4080 091125"},
        {exo, "1,E,2", "LNB GM"},
        {watina, "1(xxxx)", "BAOL"},
        {watina, "2(0xxxx)", "5740"},
    };
    for (const CasStation& c : cas)
        EXPECT_EQ(lire_code_station(c.nom, c.code), c.station) << c.nom << "  avec  " << c.code;
}

TEST(CodeStation, StationLueDansLeContenu) {
    EXPECT_TRUE(station_depuis_contenu("ligne 3 colonne 2"));
    EXPECT_TRUE(station_depuis_contenu("Colonne2"));
    EXPECT_FALSE(station_depuis_contenu("1,3"));
    EXPECT_FALSE(station_depuis_contenu("COL 2"));
}

TEST(CodeStation, NomEtCodeDemesures) {
    const std::string syllabe(200'000, 'a');
    std::string code;
    for (int i = 0; i < 100'000; ++i) code += "1,";
    const std::string station = lire_code_station(syllabe + "_b.csv", code);
    EXPECT_LE(station.size(), syllabe.size() + code.size() + 6);
    EXPECT_EQ(station.substr(0, syllabe.size()), syllabe);
}

TEST(DateNomFichier, FamillesDeCodes) {
    verifier_dates({
        {"mesure_2021_11_10_00.csv", "2,3,4", "2021/11/10", {}},
        {"SCAN 07 01 21_09 01 21.txt", "(20)4,3,2", "2021/01/07", {}},
        {"niveau-m_240502121714_T7418.CSV1", "20aammjj,2", "2024/05/02", {}},
        {"logger201109.mv", "20aammjj", "2020/11/09", {}},
        {"capteur_230318141752_S5502.MON", "20aammjjhhmmss", "2023/03/18", {}},
        {"2024-05-13 10H45'12 essai_579.txt", "aaaa_mm_jj,1", "2024/05/13", {}},
        {"2024-05-13 10H45'12 essai_579.txt", "aaaa_mm_jj", "2024/05/13", {}},
        {"ABC-450046 20211214121633.CSV", "3(xxxx),/,3(0000xx),/,3(000000xx)", "2021/12/14", {}},
        {"DEV2136-20170418-212124Z-Data.dat",
         "2(xxxx),/,2(0000xx),/,2(000000xx)",
         "2017/04/18",
         {}},
        {"mesure_2021_2_5.csv", "2,3,4", "2021/02/05", {}},
    });
}

// Each code of the pick list, in its order, reads a name written the way it says.
TEST(DateNomFichier, ChaqueCodeProposeLitSaForme) {
    const std::vector<std::string> noms = {"sonde_B7_20240513_1045.csv",
                                           "releve_B7_2024-05-13 10H45.txt",
                                           "mesure_2024_05_13_00.csv",
                                           "SCAN 13 05 24_09 01 21.txt",
                                           "logger240513.mv",
                                           "capteur_240513141752_S5502.MON",
                                           "ABC-450046 20240513121633.CSV"};
    const auto& codes = codes_date_fichier_proposes();
    ASSERT_EQ(codes.size(), noms.size());
    std::vector<CasDate> cas;
    for (std::size_t i = 0; i < codes.size(); ++i)
        cas.push_back({noms[i], codes[i], "2024/05/13", {}});
    verifier_dates(cas);
}

TEST(DateNomFichier, SyllabePuisMotifEtPointVirgule) {
    verifier_dates({
        {"niveau-m_240502121714_T7418.CSV1", "2,20aammjj", "2024/05/02", {}},
        {"niveau-m_240502121714_T7418.CSV1", "2;20aammjj", "2024/05/02", {}},
        {"mesure_2021_11_10_00.csv", "2;3;4", "2021/11/10", {}},
        {"SCAN 07 01 21_09 01 21.txt", "(20)4;3;2", "2021/01/07", {}},
    });
}

TEST(DateNomFichier, EchecsEtJournal) {
    verifier_dates({
        {"essai_12345.csv", "2,3,4", "", {}},
        {"mesure_2021_11_10_00.csv", "", "", {}},
        {"", "2,3,4", "", {}},
        {"mesure_2021_11_10_00.csv", "2,x,4", "", {}},
        {"mesure_2021_11_10_00.csv", "99999999999999999999,3,4", "", {}},
        {"mesure_2021_13_10.csv",
         "2,3,4",
         "",
         {" - erreur date : 2021/13/10  <mesure_2021_13_10>"}},
        {"SCAN 07 01 21_09 01 21.txt",
         "(xx)4,3,2",
         "",
         {" - erreur date : xx21/01/07  <SCAN_07_01_21_09_01_21>"}},
        {"mesure_1850_11_10.csv",
         "2,3,4",
         "",
         {"", "erreur : 2,3,4  ne fournit pas de date avec <mesure_1850_11_10>"}},
        {"logger201109.mv",
         "3(xxxx)",
         "",
         {"", "erreur : 3(xxxx)  ne fournit pas de date avec <logger201109>"}},
    });
}

TEST(DateNomFichier, JourInexistantDonneLeDernierJourDe1899) {
    JournalSuivi journal;
    const DateNomFichier lue =
        lire_date_nom_fichier("mesure_2021_02_31.csv", "2,3,4", journal, jour_fixe);
    EXPECT_EQ(lue.texte, "2021/02/31");
    EXPECT_EQ(lue.date, date_civile(1899, 12, 31).value_or(-1));
    EXPECT_TRUE(journal.lignes().empty());
}

TEST(DateNomFichier, NomsDeFichiersReels) {
    const std::string keller =
        reel("keller-logger/3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt");
    const std::string hobo = reel("onset-hobo/QU5_Mooring_15m_20392468_20210803.csv");
    const std::string full = reel("onset-hobo/FULL1_PT_20292372_20200430_corrected_P2.csv");
    const std::string james = reel("onset-hobo/james_island_pier_21234295_20231122_rawdata.csv");
    const std::string campbell =
        reel("campbell-toa5/exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat");
    const std::string diver = reel("vanessen-diver-mon/ff_b29d_091125120713_C4080.MON");
    const std::string exo = reel("ysi-exo-kor/LNB GM Cont data 090821_092021 RAW.csv");
    const std::string watina = reel("inbo-watina-csv/BAOL031X_T5740.csv");
    const std::string solinst = reel("solinst-levelogger/solinst_level_testfile.lev");
    verifier_dates({
        {hobo, "aaaammjj,5", "2021/08/03", {}},
        {hobo, "5,aaaammjj", "2021/08/03", {}},
        // Alone, the pattern starts at the logger's serial number.
        {hobo,
         "aaaammjj",
         "",
         {"",
          "erreur : aaaammjj  ne fournit pas de date avec <QU5_Mooring_15m_20392468_20210803>"}},
        {full, "aaaammjj,4", "2020/04/30", {}},
        {james, "5,aaaammjj", "2023/11/22", {}},
        {campbell, "aaaammjj,9", "2022/06/29", {}},
        {campbell, "aaaammjj", "2022/06/29", {}},
        {diver, "20aammjj,3", "2009/11/25", {}},
        {diver, "20aammjjhhmmss", "2009/11/25", {}},
        // A pattern is read year first whatever its letters say; items can read day first.
        {keller,
         "jjmmaaaa,3",
         "",
         {"", "erreur : jjmmaaaa  ne fournit pas de date avec <07062010>"}},
        {keller, "3(xx),/,3(00xx),/,3(0000xxxx)", "2010/06/07", {}},
        {exo, "5(00xx),/,5(xx),/,\"20\",5(0000xx)", "2021/09/08", {}},
        {watina, "aaaammjj", "", {}},
        {solinst, "2,3,4", "", {}},
    });
}

TEST(DateNomFichier, SansDateCEstAujourdhui) {
    JournalSuivi journal;
    const double avant = aujourdhui();
    const DateNomFichier lue = lire_date_nom_fichier("essai.csv", "2,3,4", journal);
    const double apres = aujourdhui();
    EXPECT_TRUE(lue.date == avant || lue.date == apres);
    EXPECT_TRUE(lue.texte.empty());
}

TEST(DateNomFichier, OctetsQuelconquesEtNomsEnormes) {
    JournalSuivi journal;
    const std::string binaire("\0\xff_2021_11_10_\x80.csv", 20);
    EXPECT_EQ(lire_date_nom_fichier(binaire, "2,3,4", journal, jour_fixe).texte, "2021/11/10");

    const std::string enorme = std::string(4'000'000, '\x9f') + "_20210803.csv";
    for (const char* code : {"aaaammjj,2", "aaaammjj", "2(xxxx),/,2(0000xx),/,2(000000xx)"})
        EXPECT_EQ(lire_date_nom_fichier(enorme, code, journal, jour_fixe).texte, "2021/08/03")
            << code;
    EXPECT_TRUE(journal.lignes().empty());
}

}  // namespace
}  // namespace tarvo
