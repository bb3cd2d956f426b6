#include "formats/motifs_date.h"

#include <gtest/gtest.h>

#include <array>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/texte.h"

namespace tarvo {
namespace {

struct CasMotif {
    std::string texte;
    std::string motif;
    std::string attendu;
};

// Each case on a fresh reader, as at the first line of a listing.
void verifier(const std::vector<CasMotif>& cas) {
    for (const auto& c : cas) {
        LecteurDateMesure lecteur;
        lecteur.fixer_aujourdhui("07/12/2026");
        JournalSuivi journal;
        EXPECT_EQ(lecteur.lire_date_heure_mesure(c.texte, c.motif, journal), c.attendu)
            << "<" << c.texte << "> avec " << c.motif;
    }
}

TEST(LireDateHeureMesure, PositionsFixes) {
    verifier({
        {"2023-12-25T08:05:00", "aaaa_mm_jj_hh_mn_ss", "25/12/2023 08:05:00"},
        {"2023/12/25 08:05:00", "aaaa/mm/jj hh:mn:ss", "25/12/2023 08:05:00"},
        {"25/12/2023 08:05", "jj_mm_aaaa_hh_mn_ss", "25/12/2023 08:05:00"},
        {"2023/12/25 08:05:07.4", "aaaa_mm_jj hh_mn_ss.s", "25/12/2023 08:05:07"},
        {"23/12/25 08:05:00", "20aa_mm_jj_hh_mn_ss", "25/12/2023 08:05:00"},
        {"23/12/25 08:05:00", "19aa_mm_jj_hh_mn_ss", "25/12/1923 08:05:00"},
        {"25/12/23 08:05:00", "jj_mm_20aa_hh_mn_ss", "25/12/2023 08:05:00"},
        {"2023/12/25", "aaaa_mm_jj", "25/12/2023 00:00:00"},
        {"12/25/2023 08:05:00", "mm_jj_aaaa_hh_mn_ss", "25/12/2023 08:05:00"},
        {"08:05:00", "hh_mn_ss", "07/12/2026 08:05:00"},
        {"08:05:00", "2023_12_25_hh_mn_ss", "25/12/2023 08:05:00"},
        {"08:05:00", "25/12/2023 hh:mn:ss", "25/12/2023 08:05:00"},
        {"\"2022-06-29 17:14:00\"", "aaaa-mm-jj hh:mn:ss", "29/06/2022 17:14:00"},
        {"\"2022-06-29 17:14:00", "aaaa-mm-jj hh:mn:ss", "29/06/2022 17:14:00"},
        {"25/12/2023 08:05:00", "jj_mm_hh_mn_ss", "01/01/1900 00:00:00"},
        {"", "aaaa_mm_jj_hh_mn_ss", "??"},
        {"08:05:00", "aaaa_mm_jj_hh_mn_ss", ""},  // fewer than 10 numeric characters
        {"25/12/2023 8:05:00", "jj_mm_aaaa_hh_mn_ss", ""},
        {"25/13/2023 08:00:00", "jj_mm_aaaa_hh_mn_ss", ""},
        {"25/12/2023 08:60:00", "jj_mm_aaaa_hh_mn_ss", ""},
        // Year and day swapped in the file: read the other way round.
        {"25/12/2023 08:05:00", "aaaa_mm_jj_hh_mn_ss", "25/12/2023 08:05:00"},
        {"2023/12/25 08:05:00", "jj_mm_aaaa_hh_mn_ss", "25/12/2023 08:05:00"},
    });
}

TEST(LireDateHeureMesure, ErreurNotee) {
    LecteurDateMesure lecteur;
    JournalSuivi journal;
    EXPECT_EQ(lecteur.lire_date_heure_mesure("25/13/2023 08:00:00", "jj_mm_aaaa_hh_mn_ss", journal),
              "");
    ASSERT_EQ(journal.lignes().size(), 1u);
    EXPECT_EQ(journal.lignes()[0],
              " + erreur date : 25/13/2023 08:00:  corriger <25/13/2023 08:00:00>");
}

TEST(LireDateHeureMesure, InversionSignaleeUneFoisParSerie) {
    LecteurDateMesure lecteur;
    JournalSuivi journal;
    const std::string motif = "aaaa_mm_jj_hh_mn_ss";
    for (const char* t : {"25/12/2023 08:00:00", "25/12/2023 09:00:00", "25/12/2023 10:00:00"})
        EXPECT_EQ(std::string(lecteur.lire_date_heure_mesure(t, motif, journal)).substr(0, 10),
                  "25/12/2023");
    EXPECT_EQ(journal.lignes(),
              std::vector<std::string>{"25/12/2023 08:00:00" + fr(" date inversée mais corrigée")});
    lecteur.lire_date_heure_mesure("2023/12/25 11:00:00", motif, journal);
    lecteur.lire_date_heure_mesure("25/12/2023 12:00:00", motif, journal);
    EXPECT_EQ(journal.lignes().size(), 2u);
    EXPECT_EQ(lecteur.nb_dates_inversees, 4);
    lecteur.debut_traitement();
    EXPECT_EQ(lecteur.nb_dates_inversees, 0);
    EXPECT_EQ(lecteur.inversion_signalee, 0);
}

TEST(LireDateHeureMesure, MotifNormaliseJusquAuListingSuivant) {
    LecteurDateMesure lecteur;
    JournalSuivi journal;
    EXPECT_EQ(lecteur.lire_date_heure_mesure("2023/12/25 08:05:00", "aaaa_mm_jj_hh_mn_ss", journal),
              "25/12/2023 08:05:00");
    EXPECT_EQ(lecteur.format_normalise, "aaaa_mm_jj_hh_mn_ss");
    // A changed pattern takes effect at the next listing only.
    // Still read with the first pattern: taken as day-first, month 25 is refused.
    EXPECT_EQ(lecteur.lire_date_heure_mesure("12/25/2023 08:05:00", "mm_jj_aaaa_hh_mn_ss", journal),
              "");
    lecteur.debut_listing();
    EXPECT_EQ(lecteur.lire_date_heure_mesure("12/25/2023 08:05:00", "mm_jj_aaaa_hh_mn_ss", journal),
              "25/12/2023 08:05:00");
    EXPECT_EQ(lecteur.format_normalise, "mm_jj_aaaa_hh_mn_ss");
}

TEST(LireDateMultiformat, JourOuMoisDAbord) {
    verifier({
        {"12/25/2023 08:00", "mm/dd/yyyy OU yyyy/dd/mm", "25/12/2023 08:00:00"},
        {"25/12/2023", "mm/dd/yyyy OU yyyy/dd/mm", "25/12/2023 00:00:00"},
        {"05/04/2023", "mm/dd/yyyy OU yyyy/dd/mm", "04/05/2023 00:00:00"},
        {"2023/04/05", "mm/dd/yyyy OU yyyy/dd/mm", "05/04/2023 00:00:00"},
        {"5/4/2023", "mm/dd/yyyy OU yyyy/dd/mm", "02/01/1900 00:00:00"},
        {"05/04/2023 08:05:07", "jj/mm/aaaa OU aaaa/mm/jj", "05/04/2023 08:05:07"},
        {"2023-04-05T08:05", "jj/mm/aaaa OU aaaa/mm/jj", "05/04/2023 08:05:00"},
        {"  05/04/2023  ", "jj/mm/aaaa OU aaaa/mm/jj", "05/04/2023 00:00:00"},
        {"ab/04/2023", "mm/dd/yyyy OU yyyy/dd/mm", "ab/04/2023 00:00:00"},  // no exchange
    });
}

TEST(LireDateMultiformat, LectureLaPlusProcheDeLaPrecedente) {
    struct Ligne {
        std::string texte, attendu;
    };
    const auto suivre = [](const std::string& motif, const std::vector<Ligne>& lignes) {
        LecteurDateMesure lecteur;
        lecteur.debut_listing();
        JournalSuivi journal;
        for (const auto& l : lignes)
            EXPECT_EQ(lecteur.lire_date_heure_mesure(l.texte, motif, journal), l.attendu)
                << motif << " " << l.texte;
    };
    const std::string ue = fr("multiformat_dt_mini_1èreUE");
    const std::string us = fr("multiformat_dt_mini_1èreUS");
    suivre(ue, {{"05/04/2023", "05/04/2023 00:00:00"},
                {"06/04/2023", "06/04/2023 00:00:00"},
                {"13/04/2023", "13/04/2023 00:00:00"},
                {"14/04/2023", "14/04/2023 00:00:00"}});
    suivre(us, {{"05/04/2023", "04/05/2023 00:00:00"},
                {"05/05/2023", "05/05/2023 00:00:00"},
                {"05/06/2023", "06/05/2023 00:00:00"},
                {"05/13/2023", "13/05/2023 00:00:00"}});
    // A first line whose month-first reading is impossible sets the reference day first.
    suivre(us, {{"25/12/2023", "25/12/2023 00:00:00"}, {"12/26/2023", "26/12/2023 00:00:00"}});
}

TEST(LireDateSouple, ChampsParOrdre) {
    verifier({
        {"8/3/21 2:05:00 PM", "mm/jj/aa hh:mn:ss AM/PM souple", "03/08/2021 14:05:00"},
        {"06/16/21 02:35:28 PM", "mm/jj/aa hh:mn:ss AM/PM souple", "16/06/2021 14:35:28"},
        {"8/3/21 12:05:00 am", "mm/jj/aa hh:mn:ss AM/PM souple", "03/08/2021 00:05:00"},
        {"8/3/21 12:05:00 PM", "mm/jj/aa hh:mn:ss AM/PM souple", "03/08/2021 12:05:00"},
        {"8/3/21 11:05:00 AM", "mm/jj/aa hh:mn:ss AM/PM souple", "03/08/2021 11:05:00"},
        {"8/3/21 14:05:00", "mm/jj/aa hh:mn:ss AM/PM souple", "03/08/2021 14:05:00"},
        {"7/06/2010 14:00:00", "jj/mm/aaaa hh:mn:ss souple", "07/06/2010 14:00:00"},
        {"7/06/2010 8:00", "jj/mm/aaaa hh:mn:ss souple", "07/06/2010 08:00:00"},
        {"7/06/2010 8:00:00.5", "jj/mm/aaaa hh:mn:ss souple", "07/06/2010 08:00:00"},
        {"12/25/2023 8:05:00", "mm/jj/aaaa hh:mn:ss souple", "25/12/2023 08:05:00"},
        {"25.12.89 8h05", "jj/mm/19aa hh:mn souple", "25/12/1989 08:05:00"},
        {"7/06/2010", "jj/mm/aaaa souple", "07/06/2010 00:00:00"},
        // Refused: too few numbers (silently), or no calendar date or clock time.
        {"7/06", "jj/mm/aaaa hh:mn:ss souple", ""},
        {"31/02/2023 10:00:00", "jj/mm/aaaa hh:mn:ss souple", ""},
        {"7/06/10 14:00:00", "jj/mm/aaaa hh:mn:ss souple", ""},
        {"7/06/2010 24:00:00", "jj/mm/aaaa hh:mn:ss souple", "08/06/2010 00:00:00"},
        {"7/06/2010 24:30:00", "jj/mm/aaaa hh:mn:ss souple", ""},
        {"8/3/21 13:05:00 PM", "mm/jj/aa hh:mn:ss AM/PM souple", ""},
        {"8/3/21 0:05:00 AM", "mm/jj/aa hh:mn:ss AM/PM souple", ""},
        {"", "jj/mm/aaaa hh:mn:ss souple", "??"},
    });
}

// Month names of recorders and spreadsheets, English or French, full or cut, any case, with
// or without accent or dot; a pattern with "mmm" reads its fields in order.
TEST(LireDateSouple, NomsDeMois) {
    verifier({
        {"05 May 2016 10:00:00", "jj mmm aaaa hh:mn:ss", "05/05/2016 10:00:00"},
        {"May 5, 2016", "mmm jj, aaaa souple", "05/05/2016 00:00:00"},
        {"05-Jun-2016", "jj-mmm-aaaa", "05/06/2016 00:00:00"},
        {"5 mai 2016", "jj mmm aaaa souple", "05/05/2016 00:00:00"},
        {fr("3 févr. 2021 7:05"), "jj mmm aaaa hh:mn souple", "03/02/2021 07:05:00"},
        {"3 fevr 2021", "jj mmm aaaa", "03/02/2021 00:00:00"},
        {"3 FEB. 2021", "jj mmm aaaa", "03/02/2021 00:00:00"},
        {fr("14 août 2019 23:59:59"), "jj mmm aaaa hh:mn:ss", "14/08/2019 23:59:59"},
        {fr("1 déc 1999"), "jj mmm aaaa", "01/12/1999 00:00:00"},
        {"1 juil 1999", "jj mmm aaaa", "01/07/1999 00:00:00"},
        {"1 September 1999", "jj mmm aaaa", "01/09/1999 00:00:00"},
        {"Sept 1, 1999 1:02:03 PM", "mmm jj, aaaa hh:mn:ss AM/PM", "01/09/1999 13:02:03"},
        // No month can be told: "jui" is June or July, "Foo" none.
        {"1 jui 1999", "jj mmm aaaa", ""},
        {"1 Foo 1999", "jj mmm aaaa", ""},
        {"31 Feb 2021", "jj mmm aaaa", ""},
    });
}

TEST(LireDateSouple, ErreurNotee) {
    LecteurDateMesure lecteur;
    JournalSuivi journal;
    EXPECT_EQ(
        lecteur.lire_date_heure_mesure("31/02/2023 10:00", "jj/mm/aaaa hh:mn:ss souple", journal),
        "");
    EXPECT_EQ(journal.lignes(),
              std::vector<std::string>{
                  " + erreur date : 31/02/2023 10:00:  corriger <31/02/2023 10:00>"});
}

// Every pattern offered in the pick list reads a text written the way it says.
TEST(MotifsProposes, ChacunLitSaPropreForme) {
    const std::vector<std::string> textes = {
        "2023/12/25 08:05:00", "25/12/2023 08:05:00", "25/12/23 08:05:00",
        "12/25/2023 08:05:00", "23/12/25 08:05:00",   "23/12/25 08:05:00",
        "25/12/2023",          "25/12/2023 08:05:00", "12/25/2023 08:05:00",
        "25/12/2023 08:05:00", "12/25/2023 08:05:00", "25/12/2023 8:05:00",
        "12/25/2023 8:05:00",  "12/25/23 8:05:00 AM", "20231225080500",
        "202312250805",        "1703491500",          "1703491500000",
        "45285.336805555555",  "25 Dec 2023 08:05:00"};
    const auto& motifs = motifs_date_heure_proposes();
    ASSERT_EQ(motifs.size(), textes.size());
    for (std::size_t i = 0; i < motifs.size(); ++i) {
        LecteurDateMesure lecteur;
        JournalSuivi journal;
        const std::string lu = lecteur.lire_date_heure_mesure(textes[i], motifs[i], journal);
        EXPECT_EQ(lu.substr(0, 10), motifs[i].starts_with("19aa") ? "25/12/1923" : "25/12/2023")
            << motifs[i];
        EXPECT_TRUE(journal.lignes().empty()) << motifs[i];
    }
}

// The patterns offered before the compact, hour-number and numeric ones, one column and two:
// each reads its own kind of text into the very instant it read then.
TEST(MotifsProposes, LesMotifsDejaProposesDonnentLeMemeInstant) {
    struct Cas {
        std::string motif, texte;
        int annee, mois, jour, secondes;
    };
    const auto hms = [](int h, int mn, int s) { return h * 3600 + mn * 60 + s; };
    const std::vector<Cas> cas = {
        {"aaaa_mm_jj_hh_mn_ss", "2023-12-25T08:05:09", 2023, 12, 25, hms(8, 5, 9)},
        {"jj_mm_aaaa_hh_mn_ss", "25/12/2023 08:05", 2023, 12, 25, hms(8, 5, 0)},
        {"jj_mm_20aa_hh_mn_ss", "25/12/23 08:05:09", 2023, 12, 25, hms(8, 5, 9)},
        {"mm_jj_aaaa_hh_mn_ss", "12/25/2023 23:59:59", 2023, 12, 25, hms(23, 59, 59)},
        {"19aa_mm_jj_hh_mn_ss", "89/02/28 00:00:01", 1989, 2, 28, hms(0, 0, 1)},
        {"20aa_mm_jj_hh_mn_ss", "24/02/29 12:00:00", 2024, 2, 29, hms(12, 0, 0)},
        {"jj_mm_aaaa", "01/03/2024", 2024, 3, 1, 0},
        {"jj/mm/aaaa OU aaaa/mm/jj", "2024/03/01 10:20", 2024, 3, 1, hms(10, 20, 0)},
        {"mm/dd/yyyy OU yyyy/dd/mm", "03/01/2024 10:20:30", 2024, 3, 1, hms(10, 20, 30)},
        {fr("multiformat_dt_mini_1èreUE"), "01/03/2024 10:20", 2024, 3, 1, hms(10, 20, 0)},
        {fr("multiformat_dt_mini_1èreUS"), "03/01/2024 10:20", 2024, 3, 1, hms(10, 20, 0)},
        {"jj/mm/aaaa hh:mn:ss souple", "1/3/2024 7:05", 2024, 3, 1, hms(7, 5, 0)},
        {"mm/jj/aaaa hh:mn:ss souple", "3/1/2024 7:05:06", 2024, 3, 1, hms(7, 5, 6)},
        {"mm/jj/aa hh:mn:ss AM/PM souple", "3/1/24 7:05:06 PM", 2024, 3, 1, hms(19, 5, 6)},
        // Two columns: each date pattern with each time pattern offered.
        {"aaaa_mm_jj hh_mn_ss", "2024-03-01 10:20:30", 2024, 3, 1, hms(10, 20, 30)},
        {"aaaa_mm_jj hh_mn", "2024-03-01 10:20", 2024, 3, 1, hms(10, 20, 0)},
        {"aaaa_mm_jj hh_mn_ss.s", "2024-03-01 10:20:30.9", 2024, 3, 1, hms(10, 20, 30)},
        {"jj_mm_aaaa hh_mn_ss", "01.03.2024 10:20:30", 2024, 3, 1, hms(10, 20, 30)},
        {"jj_mm_aaaa hh_mn", "01.03.2024 10:20", 2024, 3, 1, hms(10, 20, 0)},
        {"jj_mm_aaaa hh_mn_ss.s", "01.03.2024 10:20:30.1", 2024, 3, 1, hms(10, 20, 30)},
        {"mm_jj_aaaa hh_mn_ss", "03/01/2024 10:20:30", 2024, 3, 1, hms(10, 20, 30)},
        {"mm_jj_aaaa hh_mn", "03/01/2024 10:20", 2024, 3, 1, hms(10, 20, 0)},
        {"mm_jj_aaaa hh_mn_ss.s", "03/01/2024 10:20:30.5", 2024, 3, 1, hms(10, 20, 30)},
        {"20aa_mm_jj hh_mn_ss", "24/03/01 10:20:30", 2024, 3, 1, hms(10, 20, 30)},
        {"20aa_mm_jj hh_mn", "24/03/01 10:20", 2024, 3, 1, hms(10, 20, 0)},
        {"20aa_mm_jj hh_mn_ss.s", "24/03/01 10:20:30.5", 2024, 3, 1, hms(10, 20, 30)},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.motif + "  <" + c.texte + ">");
        LecteurDateMesure lecteur;
        lecteur.debut_listing();
        JournalSuivi journal;
        std::string canonique;
        const double lu = texte_vers_date_heure(
            lecteur.lire_date_heure_mesure(c.texte, c.motif, journal), canonique, journal);
        double attendu = 0;
        ASSERT_TRUE(instant_civil(c.annee, c.mois, c.jour, c.secondes, attendu));
        EXPECT_EQ(millisecondes(lu), millisecondes(attendu));
        EXPECT_TRUE(journal.lignes().empty());
    }
}

// Dates without separators, hours as numbers up to 24, and counts of seconds or days: each
// line, cut into its date (and hour) field as a run cuts it, reads into its instant.
TEST(LireDateHeureMesure, DatesCompactesHeure24EtHorodatagesNumeriques) {
    struct Cas {
        std::string ligne;
        char sep;
        int col_date, col_heure;  // col_heure 0: one column
        std::string motif_date, motif_heure;
        int annee, mois, jour, secondes;  // annee 0: no date can be read
    };
    const auto hms = [](int h, int mn, int s) { return h * 3600 + mn * 60 + s; };
    const std::vector<Cas> cas = {
        // Hourly station data of a weather service: the hour 1 to 24 ends the hourly period.
        {"  260,19510801,    1,  180,   26,   10,   21,  182,     ,  174,     ,     ,    0", ',', 2,
         3, "aaaammjj", "hh", 1951, 8, 1, hms(1, 0, 0)},
        {"  275,20140708,   23,  270,   20,   20,   40,  126,     ,  123,    0,    0,    0", ',', 2,
         3, "aaaammjj", "hh", 2014, 7, 8, hms(23, 0, 0)},
        {"  275,20140708,   24,  270,   20,   20,   40,  127,  125,  122,    0,    0,    0", ',', 2,
         3, "aaaammjj", "hh", 2014, 7, 9, 0},
        {"  275,20141231,   24,  270", ',', 2, 3, "aaaammjj", "hh", 2015, 1, 1, 0},
        {"  275,20140708,   25,  270", ',', 2, 3, "aaaammjj", "hh", 0, 0, 0, 0},
        {"31/12/2023;24", ';', 1, 2, "jj/mm/aaaa", "hh", 2024, 1, 1, 0},
        // Compact dates and times, in one column or two.
        {"20240601T101500;12.5", ';', 1, 0, "aaaammjjThhmnss", "", 2024, 6, 1, hms(10, 15, 0)},
        {"20240601101502;12.5", ';', 1, 0, "aaaammjjhhmnss", "", 2024, 6, 1, hms(10, 15, 2)},
        {"202406011015;12.5", ';', 1, 0, "aaaammjjhhmn", "", 2024, 6, 1, hms(10, 15, 0)},
        {"20240601;12.5", ';', 1, 0, "aaaammjj", "", 2024, 6, 1, 0},
        {"20000101;1015;12.5", ';', 1, 2, "aaaammjj", "hhmn", 2000, 1, 1, hms(10, 15, 0)},
        {"20000101;101530;12.5", ';', 1, 2, "aaaammjj", "hhmnss", 2000, 1, 1, hms(10, 15, 30)},
        {"20000101;10:15:30;12.5", ';', 1, 2, "aaaammjj", "hh:mn:ss", 2000, 1, 1, hms(10, 15, 30)},
        {"01/06/2024;101530;12.5", ';', 1, 2, "jj/mm/aaaa", "hhmnss", 2024, 6, 1, hms(10, 15, 30)},
        {"20240231;12.5", ';', 1, 0, "aaaammjj", "", 0, 0, 0, 0},
        // Hour 24 written as a clock time: the end of the day.
        {"2023-12-31 24:00:00;1", ';', 1, 0, "aaaa-mm-jj hh:mn:ss", "", 2024, 1, 1, 0},
        {"2023-12-31;24:00;1", ';', 1, 2, "aaaa-mm-jj", "hh:mn", 2024, 1, 1, 0},
        {"2023-12-31 24:30:00;1", ';', 1, 0, "aaaa-mm-jj hh:mn:ss", "", 0, 0, 0, 0},
        // Counts: Unix seconds and milliseconds of a database, a spreadsheet's serial day.
        {"1717236900,4.2", ',', 1, 0, "secondes unix", "", 2024, 6, 1, hms(10, 15, 0)},
        {"1717236900123,4.2", ',', 1, 0, "millisecondes unix", "", 2024, 6, 1, hms(10, 15, 0)},
        {"45444.4375;4,2", ';', 1, 0, "jours tableur", "", 2024, 6, 1, hms(10, 30, 0)},
        {"45444,4375\t4,2", '\t', 1, 0, "jours tableur", "", 2024, 6, 1, hms(10, 30, 0)},
        {"time,value", ',', 1, 0, "secondes unix", "", 0, 0, 0, 0},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.motif_date + " " + c.motif_heure + "  <" + c.ligne + ">");
        std::string texte(rogner(champ_vue(c.ligne, c.col_date, c.sep)));
        std::string motif = c.motif_date;
        if (c.col_heure > 0) {
            texte += " " + std::string(rogner(champ_vue(c.ligne, c.col_heure, c.sep)));
            motif += " " + c.motif_heure;
        }
        LecteurDateMesure lecteur;
        lecteur.debut_listing();
        JournalSuivi journal;
        std::string canonique;
        const double lu = texte_vers_date_heure(
            lecteur.lire_date_heure_mesure(texte, motif, journal), canonique, journal);
        if (c.annee == 0) {
            EXPECT_EQ(lu, 0);
            continue;
        }
        double attendu = 0;
        ASSERT_TRUE(instant_civil(c.annee, c.mois, c.jour, c.secondes, attendu));
        EXPECT_EQ(millisecondes(lu), millisecondes(attendu)) << canonique;
        EXPECT_TRUE(journal.lignes().empty()) << journal.lignes().front();
    }
}

// Every dated line of real logger exports reads, in time order.
TEST(LireDateHeureMesure, FichiersReels) {
    struct Cas {
        std::string fichier;
        char sep;
        int col_date, col_heure;  // col_heure 0: date and time in one column
        std::string motif;
        std::size_t premiere_ligne;
        std::string premiere, derniere;
        int nb;
    };
    const std::vector<Cas> cas = {
        {"keller-logger/3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", '\t', 1, 0,
         "jj/mm/aaaa hh:mn:ss souple", 2, "07/06/2010 14:00:00", "18/10/2010 08:00:00", 532},
        {"onset-hobo/QU5_Mooring_15m_20392468_20210803.csv", ',', 2, 0,
         "mm/jj/aa hh:mn:ss AM/PM souple", 3, "16/06/2021 14:35:28", "27/07/2021 12:54:05", 5896},
        {"solinst-levelogger/solinst_level_testfile.csv", ',', 2, 3, "aaaa_mm_jj hh_mn_ss", 19,
         "23/11/2016 19:15:00", "26/11/2016 21:45:00", 299},
        {"campbell-toa5/exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat", ',',
         1, 0, "aaaa-mm-jj hh:mn:ss", 5, "29/06/2022 17:14:00", "29/06/2022 18:49:00", 96},
    };
    for (const auto& c : cas) {
        const auto contenu = lire_fichier(std::string(TARVO_DONNEES_REELLES) + "/" + c.fichier);
        ASSERT_TRUE(contenu) << c.fichier;
        const auto lignes = decouper_lignes(*contenu);
        LecteurDateMesure lecteur;
        lecteur.debut_listing();
        JournalSuivi journal;
        std::string resultat, canonique, premiere, derniere;
        double precedente = 0;
        int nb = 0;
        for (std::size_t i = c.premiere_ligne - 1; i < lignes.size(); ++i) {
            std::string texte(champ_vue(lignes[i], c.col_date, c.sep));
            if (c.col_heure > 0)
                texte += " " + std::string(champ_vue(lignes[i], c.col_heure, c.sep));
            if (rogner(texte).empty()) continue;
            lecteur.lire_date_heure_mesure(texte, c.motif, resultat, journal);
            const double date = texte_vers_date_heure(resultat, canonique, journal);
            ASSERT_GT(date, precedente) << c.fichier << " ligne " << i + 1 << " <" << texte << ">";
            precedente = date;
            if (nb++ == 0) premiere = canonique;
            derniere = canonique;
        }
        EXPECT_EQ(nb, c.nb) << c.fichier;
        EXPECT_EQ(premiere, c.premiere) << c.fichier;
        EXPECT_EQ(derniere, c.derniere) << c.fichier;
        EXPECT_TRUE(journal.lignes().empty()) << c.fichier << " : " << journal.lignes().front();
    }
}

// The compiled plan must give, for every text it accepts, the very timestamp and canonical
// text of the general reader, and leave every other text to it.
TEST(PlanDate, LitCommeLeLecteurGeneralOuLuiLaisseLaLigne) {
    struct Cas {
        std::string_view motif;
        std::string_view texte;
        bool lu_par_le_plan;
    };
    const Cas cas[] = {
        {"aaaa_mm_jj_hh_mn_ss", "2023-01-01 00:00:07", true},
        {"aaaa_mm_jj_hh_mn_ss", "2024-02-29 23:59:59", true},
        {"aaaa_mm_jj_hh_mn_ss", "2023-06-01T12:30:00.250", true},
        {"aaaa_mm_jj_hh_mn_ss", "2023-02-29 00:00:00", false},
        {"aaaa_mm_jj_hh_mn_ss", "2023-13-01 00:00:00", false},
        {"aaaa_mm_jj_hh_mn_ss", "2023-01-01 24:00:00", false},
        {"aaaa_mm_jj_hh_mn_ss", "2023-01-01 23:60:00", false},
        {"aaaa_mm_jj_hh_mn_ss", "2023-01-01 23:00:6x", false},
        {"aaaa_mm_jj_hh_mn_ss", "01/02/2023 10:00:00", false},  // inverted: noted by the reader
        {"aaaa_mm_jj_hh_mn_ss", "\"2023-01-01 00:00:07\"", false},
        {"aaaa_mm_jj_hh_mn_ss", "2023-01-01 00:00", false},
        {"jj_mm_aaaa_hh_mn_ss", "31/12/2023 08:05:09", true},
        {"jj/mm/aaaa hh:mn:ss", "00/12/2023 08:05:09", false},
        {"mm_jj_aaaa_hh_mn_ss", "12/31/2023 08:05:09", true},
        {"aaaa_mm_jj_hh_mn", "2023-05-06 07:08", true},
    };
    for (const Cas& c : cas) {
        LecteurDateMesure lecteur;
        lecteur.debut_listing();
        const std::optional<PlanDate> plan = lecteur.plan_position_fixe(c.motif);
        ASSERT_TRUE(plan) << c.motif;
        double t = 0;
        std::array<char, 19> canonique{};
        ASSERT_EQ(plan->lire(c.texte, t, canonique.data()), c.lu_par_le_plan) << c.texte;
        if (!c.lu_par_le_plan) continue;
        JournalSuivi journal;
        std::string resultat, tampon;
        lecteur.lire_date_heure_mesure(c.texte, c.motif, resultat, journal);
        EXPECT_EQ(std::string(canonique.data(), 19), resultat) << c.texte;
        EXPECT_EQ(t, texte_vers_date_heure(resultat, tampon, journal)) << c.texte;
        EXPECT_TRUE(journal.lignes().empty()) << c.texte;
    }
}

TEST(PlanDate, SeulementPourLesMotifsAPositionsFixesCompletes) {
    for (const std::string_view motif :
         {"19aa_mm_jj_hh_mn_ss", "jj_mm_aaaa", "hh_mn_ss", "2023_01_01_hh_mn_ss",
          "jj/mm/aaaa hh:mn:ss souple", "jj/mm/aaaa OU aaaa/mm/jj", "multiformat_dt_mini_1UE"}) {
        LecteurDateMesure lecteur;
        lecteur.debut_listing();
        EXPECT_FALSE(lecteur.plan_position_fixe(motif)) << motif;
    }
}

}  // namespace
}  // namespace tarvo
