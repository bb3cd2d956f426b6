#include "app/motifs_lot.h"

#include <string>

#include "formats/codes_nom_fichier.h"
#include "formats/cp1252.h"
#include "formats/motifs_date.h"
#include "formats/texte.h"

namespace tarvo {

namespace {

using F = FamilleMotif;

struct Famille {
    FamilleMotif famille;
    std::string_view titre;
    std::string_view explication;
};

// In the order a user meets them: the plain pattern first, the name codes last.
constexpr Famille familles[] = {
    {F::position_fixe, "Position fixe",
     "Chaque champ est pris à sa place : aaaa année, mm mois, jj jour, hh heure, mn minute,\n"
     "ss seconde (facultative) ; 20aa ou 19aa pour une année sur deux chiffres. Les autres\n"
     "caractères sont des séparateurs quelconques (aaaa-mm-jj hh:mn:ss = aaaa_mm_jj_hh_mn_ss).\n"
     "Chaque champ doit avoir sa pleine largeur (08, pas 8) : sinon, prendre un format souple.\n"
     "jj_mm_aaaa seul : l'heure est 00:00:00 ; 2023_12_25_hh_mn_ss : une date fixe pour des\n"
     "fichiers qui n'écrivent que l'heure."},
    {F::multiformat, "Multiformat",
     "Le jour et le mois changent d'ordre d'une ligne à l'autre : de deux lectures possibles,\n"
     "la plus ancienne l'emporte ; à la première ligne, le jour d'abord (1èreUE) ou le mois\n"
     "d'abord (1èreUS). L'année a quatre chiffres, en tête ou après le jour et le mois, les\n"
     "autres champs deux chiffres. Les lignes sont lues dans leur ordre."},
    {F::ou, "OU",
     "Deux ordres dans le même fichier. jj/mm/aaaa OU aaaa/mm/jj : jour d'abord, ou année\n"
     "d'abord. mm/dd/yyyy OU yyyy/dd/mm : mois d'abord quand le premier nombre ne dépasse pas\n"
     "12, sinon jour d'abord ; une date qui commence par l'année est lue aaaa-mm-jj."},
    {F::deux_colonnes, "Date et heure dans deux colonnes",
     "Réglage « 2 colonnes » : un format de date seule et un format d'heure seule, chacun\n"
     "dans sa colonne, dans n'importe quel ordre ; un format souple s'écrit dans la date."},
    {F::souple, "Souple",
     "Le mot souple à la fin : les nombres sont pris dans l'ordre du format, quelle que soit\n"
     "leur place. Jour, mois, heure, minute et seconde peuvent n'avoir qu'un chiffre (8 pour\n"
     "08), les secondes peuvent manquer, ce qui suit les champs du format est ignoré (dixièmes\n"
     "de seconde) ; AM/PM lit une heure sur 12 heures (12:05 AM = 00:05). L'année garde sa\n"
     "largeur : aaaa quatre chiffres, aa deux chiffres (20aa, 19aa pour le siècle).\n"
     "mmm lit le mois en lettres, anglais ou français, entier ou abrégé (3 lettres ou plus,\n"
     "point, majuscules et accents libres : Feb, févr., fevr, mai, SEPT) ; un format avec mmm\n"
     "est toujours lu ainsi, même sans le mot souple (jj mmm aaaa hh:mn:ss)."},
    {F::compacte, "Dates compactes, heure 24 et heure en nombre",
     "Les champs collés, sans séparateur : aaaammjj (minuit), aaaammjjhhmn, aaaammjjhhmnss,\n"
     "avec ou sans T entre la date et l'heure (aaaammjjThhmnss) ; en deux colonnes, la date\n"
     "aaaammjj et l'heure hhmn ou hhmnss. Chaque champ garde sa pleine largeur. L'heure\n"
     "seule en nombre (1 à 24, espaces admises) se lit avec le format d'heure hh. L'heure 24\n"
     "(24:00:00, ou 24 en nombre) est 00:00:00 du lendemain, dans tous les formats ; 24:30\n"
     "n'est pas lue."},
    {F::numerique, "Horodatages numériques",
     "secondes unix : secondes depuis le 01/01/1970 00:00 UTC (10 chiffres) ; millisecondes\n"
     "unix : la même chose en millisecondes (13 chiffres) ; jours tableur : jours depuis le\n"
     "30/12/1899 (45444.4375 = 01/06/2024 10:30:00), virgule ou point décimal. Les fractions\n"
     "de seconde sont ignorées (arrondies pour les jours). Le résultat est à l'heure UTC pour\n"
     "les temps unix. Pas de nombre négatif ni de date hors des années 1900 à 9999."},
    {F::code_date_fichier, "Code de date du nom de fichier",
     "Réglage « date fichier » : la date d'un fichier tirée de son nom (aaaa/mm/jj).\n"
     "aaaammjj,3 : la 3e syllabe (les syllabes sont séparées par _) lue aaaammjj ; 2,3,4 :\n"
     "année, mois et jour dans les syllabes 2, 3 et 4 ; sans numéro de syllabe, le format est\n"
     "cherché dans les chiffres du nom ; des éléments comme ceux des stations bâtissent\n"
     "aaaa/mm/jj."},
    {F::code_station, "Code de station du nom de fichier",
     "Réglage « station » : 1 la 1re syllabe ; 1,-,2 la 1re, un tiret, la 2e ; 3(00xx) les\n"
     "caractères de la 3e syllabe placés sous les x ; E une espace ; LIGNE 3 COLONNE 2 : la\n"
     "station est lue dans le contenu du fichier."},
};

std::string_view nom_separateur(char c) {
    switch (c) {
        case '\t':
            return "tabulation";
        case ' ':
            return "espace";
        case ';':
            return "point-virgule";
        default:
            return "virgule";
    }
}

// The patterns the window offers for a family (UTF-8).
std::vector<std::string> proposes(FamilleMotif f) {
    std::vector<std::string> liste;
    const auto ajouter = [&](const std::vector<std::string>& motifs, auto garder) {
        for (const std::string& m : motifs)
            if (garder(m)) liste.push_back(cp1252_vers_utf8(m));
    };
    const auto genre = [](const std::string& m) {
        return contient(m, "souple") || contient(m, "mmm")      ? F::souple
               : contient(m, "multiformat")                     ? F::multiformat
               : contient(m, " OU ")                            ? F::ou
               : contient(m, "aaaammjj")                        ? F::compacte
               : contient(m, " unix") || contient(m, "tableur") ? F::numerique
                                                                : F::position_fixe;
    };
    const auto tous = [](const std::string&) { return true; };
    switch (f) {
        case F::deux_colonnes:
            ajouter(motifs_date_proposes(), tous);
            ajouter(motifs_heure_proposes(), tous);
            break;
        case F::code_date_fichier:
            ajouter(codes_date_fichier_proposes(), tous);
            break;
        case F::code_station:
            break;
        default:
            ajouter(motifs_date_heure_proposes(),
                    [&](const std::string& m) { return genre(m) == f; });
    }
    return liste;
}

// Tabulations shown, so that the columns of a line can be counted on the screen.
std::string visible(std::string_view ligne) {
    std::string t;
    for (const char c : ligne) {
        if (c == '\t')
            t += "<TAB>";
        else
            t += c;
    }
    return t;
}

}  // namespace

const std::vector<ExempleMotif>& exemples_motifs() {
    static const std::vector<ExempleMotif> exemples = {
        {F::position_fixe, "aaaa-mm-jj hh:mn:ss", "", "Campbell TOA5",
         "campbell-toa5/exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat", 5,
         ',', 1, 0, "\"2022-06-29 17:14:00\",0,-999,13.82382,3.70477", "29/06/2022 17:14:00"},
        {F::position_fixe, "jj.mm.aaaa hh:mn:ss", "", "In-Situ Aqua TROLL 600",
         "insitu-aquatroll/example_InSituInc_Aquatroll_600.csv", 83, ';', 1, 0,
         "23.05.2016 15:31:50;       0.000;", "23/05/2016 15:31:50"},
        {F::multiformat, "multiformat_dt_mini_1èreUE", "", "In-Situ Aqua TROLL 600",
         "insitu-aquatroll/example_InSituInc_Aquatroll_600.csv", 84, ';', 1, 0,
         "23.05.2016 15:41:50;     600.000;", "23/05/2016 15:41:50"},
        {F::ou, "jj/mm/aaaa OU aaaa/mm/jj", "", "In-Situ Aqua TROLL 600",
         "insitu-aquatroll/example_InSituInc_Aquatroll_600.csv", 83, ';', 1, 0,
         "23.05.2016 15:31:50;", "23/05/2016 15:31:50"},
        {F::deux_colonnes, "aaaa-mm-jj", "hh:mn:ss", "Solinst Levelogger (CSV)",
         "solinst-levelogger/solinst_level_testfile.csv", 18, ',', 2, 3,
         "1,2016-11-23,19:00:00,0,691.7443,9.178", "23/11/2016 19:00:00"},
        {F::deux_colonnes, "aaaa-mm-jj", "hh:mn:ss", "Solinst LTC Levelogger",
         "solinst-levelogger/solinst_conductivity_testfile.csv", 15, ';', 1, 2,
         "2018-09-27;07:00:00;0;5938,85;5,861;21156,9", "27/09/2018 07:00:00"},
        {F::deux_colonnes, "aaaa/mm/jj", "hh:mn:ss.s", "Van Essen Diver (.MON)",
         "vanessen-diver-mon/ff_b29d_091125120713_C4080.MON", 54, ' ', 1, 2,
         "2009/10/14 16:00:00.0       1393.1       12.35", "14/10/2009 16:00:00"},
        {F::deux_colonnes, "aaaa-mm-jj", "hh:mn:ss.s", "Solinst Levelogger (.lev)",
         "solinst-levelogger/solinst_level_testfile.lev", 47, ' ', 1, 2,
         "2016-11-23 19:00:00.0    691.7443      9.178", "23/11/2016 19:00:00"},
        {F::deux_colonnes, "jj.mm.aaaa", "hh:mn:ss", "NIVUS PCM4",
         "nivus-pcm4/example_NIVUS_PCM4_NEU.TXT", 11, '\t', 1, 2,
         "17.04.2014\t11:45:00\t0,059\t#-1", "17/04/2014 11:45:00"},
        {F::deux_colonnes, "jj.mm.aaaa", "hh:mn:ss", "STS DL/N 70 (l'heure avant la date)",
         "sts-dln70/example_STS_DLN70_H.txt", 4, '\t', 2, 1, "10:05:06\t09.09.2013\t10.189",
         "09/09/2013 10:05:06"},
        {F::souple, "mm/jj/aa hh:mn:ss AM/PM souple", "", "Onset HOBO (TidbiT v2)",
         "onset-hobo/QU5_Mooring_15m_20392468_20210803.csv", 3, ',', 2, 0,
         "1,06/16/21 02:35:28 PM,32.587,Logged", "16/06/2021 14:35:28"},
        {F::souple, "mm/jj/aaaa hh:mn:ss souple", "", "Onset HOBO (niveau et baromètre)",
         "onset-hobo/FULL1_PT_20292372_20200430_corrected_P2.csv", 1393, ',', 2, 0,
         "1391,1/1/2020 0:13,107.776,6.471", "01/01/2020 00:13:00"},
        {F::souple, "aaaa-mm-jj hh:mn souple", "", "Onset HOBO MX",
         "onset-hobo/james_island_pier_21234295_20231122_rawdata.csv", 836, ',', 2, 0,
         "835,2023-05-08 9:50,9.42", "08/05/2023 09:50:00"},
        {F::souple, "mm/jj/aaaa hh:mn:ss souple", "", "Onset HOBO (ancien, fins de ligne CR)",
         "onset-hobo/north_beach_surfgrass_20387239_20190218_rawdata.csv", 4, ',', 1, 0,
         "6/21/2018 15:00:00,20.15", "21/06/2018 15:00:00"},
        {F::souple, "jj/mm/aaaa hh:mn:ss souple", "", "Keller",
         "keller-logger/3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", 2, '\t', 1, 0,
         "7/06/2010 14:00:00\t\t3,246", "07/06/2010 14:00:00"},
        {F::souple, "jj/mm/aaaa hh:mn:ss souple", "", "WATINA (champs entre guillemets)",
         "inbo-watina-csv/BAOL031X_T5740.csv", 3, ',', 8, 0,
         "\"BAO\",\"Baro's\",\"9333\",\"BAOL031X\",\"1571\",\"T5740\",\"9353745\",\"15/02/2019 "
         "0:00:00 +01:00\"",
         "15/02/2019 00:00:00", "+01:00", 3600},
        {F::souple, "mm/jj/aaaa souple", "hh:mn:ss", "YSI EXO (KorEXO, UTF-16)",
         "ysi-exo-kor/LNB GM Cont data 090821_092021 RAW.csv", 11, ',', 1, 2,
         "9/8/2021,11:48:37,0.0,GM,1.54", "08/09/2021 11:48:37"},
        {F::compacte, "aaaammjj", "hh", "KNMI, données horaires (De Bilt)", "", 1, ',', 2, 3,
         "  260,19510801,    1,  180,   26,   10,   21,  182,     ,  174,", "01/08/1951 01:00:00"},
        {F::compacte, "aaaammjj", "hh", "KNMI, données horaires (Deelen, heure 24)", "", 1, ',', 2,
         3, "  275,20140708,   24,  270,   20,   20,   40,  127,  125,  122,",
         "09/07/2014 00:00:00"},
        {F::code_date_fichier, "aaaammjj,5", "", "Onset HOBO",
         "onset-hobo/QU5_Mooring_15m_20392468_20210803.csv", 0, ',', 0, 0,
         "QU5_Mooring_15m_20392468_20210803.csv", "2021/08/03"},
        {F::code_date_fichier, "20aammjj,3", "", "Van Essen Diver",
         "vanessen-diver-mon/ff_b29d_091125120713_C4080.MON", 0, ',', 0, 0,
         "ff_b29d_091125120713_C4080.MON", "2009/11/25"},
        {F::code_date_fichier, "3(xx),/,3(00xx),/,3(0000xxxx)", "", "Keller",
         "keller-logger/3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", 0, ',', 0, 0,
         "3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", "2010/06/07"},
        {F::code_station, "1,-,2", "", "Keller",
         "keller-logger/3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", 0, ',', 0, 0,
         "3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt", "3-0057"},
        {F::code_station, "5,-,6", "", "Campbell TOA5",
         "campbell-toa5/exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat", 0,
         ',', 0, 0, "exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat",
         "CH-OE2"},
    };
    return exemples;
}

void ecrire_motifs(std::ostream& sortie) {
    sortie << "Formats de date et d'heure des mesures, et codes des noms de fichiers.\n"
              "Chaque exemple est une ligne d'un vrai fichier d'enregistreur (ou son nom) ;\n"
              "« lu » est ce que le format ou le code en tire. Les fichiers cités sont dans\n"
              "tests/donnees-reelles/ des sources de Tarvo ; une ligne sans fichier vient des\n"
              "données publiées par l'organisme nommé.\n";
    int numero = 0;
    for (const Famille& f : familles) {
        sortie << "\n" << ++numero << ". " << f.titre << "\n" << f.explication << "\n";
        const std::vector<std::string> liste = proposes(f.famille);
        if (!liste.empty()) {
            // Kept within a terminal's width, one pattern never cut.
            std::string ligne = "Proposés par la fenêtre :";
            for (const std::string& m : liste) {
                if (ligne.size() + m.size() > 86) {
                    sortie << ligne << "\n";
                    ligne = "   ";
                }
                ligne += "  " + m;
            }
            sortie << ligne << "\n";
        }
        for (const ExempleMotif& e : exemples_motifs()) {
            if (e.famille != f.famille) continue;
            const bool nom = e.ligne == 0;
            sortie << "\n  " << (nom ? "code " : "format ") << e.motif;
            if (!e.motif_heure.empty())
                sortie << " (date, colonne " << e.colonne << ")  +  " << e.motif_heure
                       << " (heure, colonne " << e.colonne_heure << ")";
            else if (!nom)
                sortie << " (colonne " << e.colonne << ")";
            if (!nom) sortie << ", séparateur " << nom_separateur(e.separateur);
            sortie << "\n    " << e.appareil;
            if (e.fichier.empty())
                sortie << " :\n    " << visible(e.extrait) << "…\n";
            else if (nom)
                sortie << " : " << e.fichier << "\n    nom : " << e.extrait << "\n";
            else
                sortie << " : " << e.fichier << ", ligne " << e.ligne << " :\n    "
                       << visible(e.extrait) << "…\n";
            sortie << "    lu : " << e.lu << "\n";
            if (!e.decalage.empty())
                sortie << "    décalage lu après l'heure : " << e.decalage
                       << " (pris en compte quand un fuseau du résultat est choisi)\n";
        }
    }
}

}  // namespace tarvo
