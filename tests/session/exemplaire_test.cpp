#include "session/exemplaire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>
#include <variant>
#include <vector>

#include "description/cles_description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/motifs_date.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "inventory/table_fichiers.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"
#include "tests/description/dossier_temporaire.h"
#include "tests/session/montage_session.h"

namespace tarvo {
namespace {

// A real logger file picked as the sample from the default description. `reponses` answer
// every box of the command in order: 1 "Utiliser tels quels", the analysis proposals, then
// the boxes of the listing it ends with (still on the default date pattern). Afterwards the
// user types what a refused proposal got wrong (separator, line numbers, "sans" titles) and
// sets the date from the pick lists: option, column(s) and the index of a pick-list item.
using Reponses = std::vector<std::variant<Reponse, int>>;
constexpr Reponse O = Reponse::oui, N = Reponse::non, A = Reponse::annuler;

struct CasReel {
    const char* dossier;
    const char* fichier;
    Reponses reponses;
    int separateur;                                    // typed, -1: as the analysis left it
    std::string num_ligne_donnee, num_ligne_intitule;  // typed, empty: as the analysis left them
    bool deux_colonnes;
    std::string col_date, col_heure;  // one column: col_date only
    int motif_date, motif_heure;      // item of the date-time (or date) list, of the time list
    int pas_minutes;
    std::string fin;  // typed when the file table shows no end date
    Reponses apres;   // the boxes of the user's own listing
    bool converti;
    std::string motif_date_tape = "";  // typed instead of a pick-list item
};

const std::vector<CasReel>& cas_reels() {
    static const std::vector<CasReel> cas = {
        // "," and line 5 accepted, quoted fields declined.
        {"campbell-toa5",
         "exampledata_TOA5-DAT-1MIN_CH-OE2_iDL_BOX1_0_1_TBL1_20220629-1714.dat",
         {1, O, O, N},
         -1,
         "",
         "2",
         false,
         "1",
         "",
         0,
         0,
         1,
         "",
         {},
         true},
        // "," accepted, quoted fields declined, the listing's date question refused. NOT
        // CONVERTED: every field is quoted and, declined, quotes have no meaning, so "1053,225"
        // becomes two fields that are not numbers and every value is NA.
        {"inbo-watina-csv",
         "BAOL031X_T5740.csv",
         {1, O, N, N},
         -1,
         "",
         "",
         false,
         "8",
         "",
         11,
         0,
         60,
         "",
         {},
         false},
        // The report header passes the time test on line 1: "sans intitulé", "ligne 1", the
        // blank separator and "donnée en ligne 1" refused, the listing's pattern offer
        // cancelled; ";" and lines 83/82 typed.
        {"insitu-aquatroll",
         "example_InSituInc_Aquatroll_600.csv",
         {1, A, A, N, A, A},
         2,
         "83",
         "82",
         false,
         "1",
         "",
         1,
         0,
         60,
         "",
         {},
         true},
        // Nothing proposed, the listing's date question refused. The last line holds only
        // tabulations: the table shows "??" as the end, which the user types. Column P1-P2
        // (the first extracted) is empty in the file itself.
        {"keller-logger",
         "3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt",
         {1, N},
         -1,
         "",
         "",
         false,
         "1",
         "",
         11,
         0,
         60,
         "18/10/2010 08:00:00",
         {},
         true},
        // Line 11 accepted, the listing's date question refused.
        {"nivus-pcm4",
         "example_NIVUS_PCM4_NEU.TXT",
         {1, O, N},
         -1,
         "",
         "9",
         true,
         "1",
         "2",
         1,
         0,
         60,
         "",
         {},
         true},
        // The quoted title "Date Time, GMT-07:00" holds a time but no date: it is not taken for
        // the first data line, which is line 3. "," and line 3 accepted, quoted fields declined,
        // the first date left unread (the default pattern) without cancelling; titles 2 typed.
        {"onset-hobo",
         "FULL1_PT_20292372_20200430_corrected_P2.csv",
         {1, A, O, O, 2, N},
         3,
         "3",
         "2",
         false,
         "2",
         "",
         12,
         0,
         60,
         "",
         {},
         true},
        // Quoted fields declined.
        {"onset-hobo",
         "QU5_Mooring_15m_20392468_20210803.csv",
         {1, O, O, N, N},
         3,
         "3",
         "2",
         false,
         "2",
         "",
         13,
         0,
         60,
         "",
         {},
         true},
        // The quoted times of title line 1 are not data: "," accepted, data on line 2 as
        // expected, quoted fields and the listing's date question declined. Hours without a leading
        // zero (9:50)
        // are not read by the fixed-position pattern; the other lines are.
        {"onset-hobo",
         "james_island_pier_21234295_20231122_rawdata.csv",
         {1, O, N, N},
         3,
         "2",
         "1",
         false,
         "2",
         "",
         0,
         0,
         60,
         "",
         {},
         true},
        // "sans intitulé" refused, line 4 accepted (CR-only lines); "," and titles 3 typed.
        {"onset-hobo",
         "north_beach_surfgrass_20387239_20190218_rawdata.csv",
         {1, A, O, 1},
         3,
         "",
         "3",
         false,
         "1",
         "",
         12,
         0,
         60,
         "",
         {},
         true},
        // ";" and line 15 accepted (decimal comma), the first date left unread (the default
        // pattern) without cancelling.
        {"solinst-levelogger",
         "solinst_conductivity_testfile.csv",
         {1, O, O, N},
         -1,
         "",
         "14",
         true,
         "1",
         "2",
         0,
         0,
         15,
         "",
         {},
         true},
        {"solinst-levelogger",
         "solinst_level_testfile.csv",
         {1, O, O, N},
         -1,
         "",
         "17",
         true,
         "2",
         "3",
         0,
         0,
         60,
         "",
         {},
         true},
        // The header line "TIME : 15:37:54" passes the time test: blank separator accepted,
        // "donnée en ligne 6" refused, the listing's title correction declined; line 47 and
        // "sans" typed. The end tag line leaves "????" as the end date, which the user types.
        {"solinst-levelogger",
         "solinst_level_testfile.lev",
         {1, O, A, 1, N},
         -1,
         "47",
         "sans",
         true,
         "1",
         "2",
         0,
         2,
         60,
         "26/11/2016 21:45:00",
         {},
         true},
        // Line 4 accepted; time column before the date column.
        {"sts-dln70",
         "example_STS_DLN70_H.txt",
         {1, O, N},
         -1,
         "",
         "3",
         true,
         "2",
         "1",
         1,
         0,
         1,
         "",
         {},
         true},
        // As the .lev file: "TIME : 12:07:13" proposed as data; line 54 and "sans" typed.
        {"vanessen-diver-mon",
         "ff_b29d_091125120713_C4080.MON",
         {1, O, A, 1, N},
         -1,
         "54",
         "sans",
         true,
         "1",
         "2",
         0,
         2,
         60,
         "25/11/2009 12:30:00",
         {},
         true},
        // "FILE CREATED:,9/27/2021 12:05:11 PM" is proposed as the data: blank separator and
        // line 4 refused; ",", 11/10 typed. The date column "9/8/2021" drops leading zeros,
        // which no fixed-position item of the date list reads: the user types the flexible
        // pattern of the date-time list's family, "mm/jj/aaaa souple".
        {"ysi-exo-kor",
         "LNB GM Cont data 090821_092021 RAW.csv",
         {1, N, A, 1},
         3,
         "11",
         "10",
         true,
         "1",
         "2",
         2,
         0,
         60,
         "",
         {},
         true,
         "mm/jj/aaaa souple"},
    };
    return cas;
}

// A result line holds a value in one of its extracted columns (neither empty nor NA).
bool valeurs_presentes(const std::string& contenu, const std::string& na) {
    const auto lignes = decouper_lignes(contenu);
    for (std::size_t i = 1; i < lignes.size(); ++i) {
        const int nb = nb_car('\t', lignes[i]);  // the last field is the count of the step
        for (int champ = 2; champ <= nb; ++champ) {
            const std::string v = extraire_champ(lignes[i], champ, '\t');
            if (!v.empty() && v != na && v.find_first_of("0123456789") != std::string::npos)
                return true;
        }
    }
    return false;
}

void attendre(DialogueScripte& dialogue, const Reponses& reponses) {
    for (const auto& r : reponses) {
        if (const auto* choix = std::get_if<int>(&r))
            dialogue.attendre_choix(*choix);
        else
            dialogue.attendre_question(std::get<Reponse>(r));
    }
}

std::string derniere_boite(const DialogueScripte& dialogue) {
    return dialogue.vus.empty() ? std::string() : dialogue.vus.back().texte;
}

class ExemplaireTest : public DossierTemporaire {
protected:
    void convertir(const CasReel& c, const std::string& racine) {
        const std::string programme = dossier(racine + "/programme");
        const std::string donnees = dossier(racine + "/donnees");
        std::filesystem::copy_file(
            std::filesystem::path(TARVO_DONNEES_REELLES) / c.dossier / c.fichier,
            chemin_natif(donnees + c.fichier));
        DialogueScripte dialogue;
        ProgressionScriptee progression;
        LanceurEnregistreur lanceur;
        PressePapierMemoire presse_papier;
        Session s(dialogue, progression, lanceur, presse_papier, programme);
        s.creation();
        Description& d = s.description;
        d.dossier_description = dossier(racine + "/descriptions");
        d.dossier_choisi_sortie = dossier(racine + "/sortie");
        attendre(dialogue, c.reponses);
        exemplaire_fichier_donnees(s, dialogue, lanceur, donnees + c.fichier);
        EXPECT_EQ(d.dossier_choisi, donnees);
        ASSERT_FALSE(lanceur.appels.empty());
        EXPECT_EQ(lanceur.appels.front().argument, donnees + c.fichier);

        if (c.separateur >= 0)
            d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        if (!c.num_ligne_donnee.empty()) d.Edit_num_ligne_donnee = c.num_ligne_donnee;
        if (c.num_ligne_intitule == "sans")
            d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::sans;
        else if (!c.num_ligne_intitule.empty())
            d.Edit_num_ligne_intitule_col = c.num_ligne_intitule;
        d.RadioGroup_datetime_nb_col_ItemIndex =
            static_cast<ColonnesDateHeure>(c.deux_colonnes ? 1 : 0);
        if (c.deux_colonnes) {
            d.Edit_num_col_date = c.col_date;
            d.Edit_num_col_time = c.col_heure;
            d.Edit_format_date_mesure_seule = c.motif_date_tape.empty()
                                                  ? motifs_date_proposes().at(c.motif_date)
                                                  : c.motif_date_tape;
            d.Edit_format_time_mesure_seul = motifs_heure_proposes().at(c.motif_heure);
        } else {
            d.Edit_num_col_datetime = c.col_date;
            d.Edit_format_datetime_mesure = motifs_date_heure_proposes().at(c.motif_date);
        }
        s.marquer_modifie();
        attendre(dialogue, c.apres);
        if (s.lister_fichiers().fin != FinListage::complet) {
            EXPECT_FALSE(c.converti) << derniere_boite(dialogue);
            return;
        }
        ASSERT_EQ(s.table.nb_fichiers(), 1);
        const std::string debut = s.table.lire_cellule(1, Colonne::date_dep);
        if (!c.converti && debut.find('/') == std::string::npos) return;  // no date read
        ASSERT_NE(debut.find('/'), std::string::npos) << derniere_boite(dialogue);
        s.parametres_grille.Label_temps_deb = debut;
        s.parametres_grille.Label_temps_fin =
            c.fin.empty() ? s.table.lire_cellule(1, Colonne::date_fin) : c.fin;
        s.parametres_grille.TimePicker_pas = c.pas_minutes / 1440.0;
        s.parametres_grille_modifies();
        ASSERT_EQ(s.traiter(), FinTraitement::termine) << derniere_boite(dialogue);
        const auto resultat = lire_fichier(s.fichier_resultat);
        ASSERT_TRUE(resultat);
        EXPECT_EQ(valeurs_presentes(*resultat, d.Edit_NA), c.converti) << resultat->substr(0, 400);
    }
};

// From the default description, the questions answered as each file needs and the date
// set from the pick lists, each real file lists and converts.
TEST_F(ExemplaireTest, ChaqueFichierReelDepuisLaDescriptionParDefaut) {
    int n = 0;
    for (const CasReel& c : cas_reels()) {
        SCOPED_TRACE(std::string(c.dossier) + "/" + c.fichier);
        convertir(c, "cas" + std::to_string(++n));
    }
}

// The same export with the quoted fields accepted converts its values.
TEST_F(ExemplaireTest, ChampsEntreGuillemetsAcceptesConvertissent) {
    CasReel c = *std::find_if(cas_reels().begin(), cas_reels().end(), [](const CasReel& r) {
        return std::string_view(r.dossier) == "inbo-watina-csv";
    });
    c.reponses = {1, O, O, N};  // "," and quoted fields accepted, the date question refused
    c.converti = true;
    convertir(c, "watina");
}

// The sample's extension becomes the mask unless the mask already names it; a mask that
// still differs in case asks first. A name pattern that lists the sample stays as typed, in
// the description written too, and counts its own files.
TEST_F(ExemplaireTest, MasqueSuitLExtension) {
    const struct {
        std::string masque, fichier, masque_apres;
        bool question;
        std::vector<std::string> autres = {};  // other files of the folder
        std::string nb = "";                   // the files counted, when checked
    } cas[] = {
        {"csv", "a.csv", "csv", false},
        {"*.CSV", "a.csv", "csv", false},
        {"ppp", "a.csv", "csv", false},
        {"*.csV", "a.csV", "*.csV", true},
        {"LeGue_*.csv", "LeGue_1.csv", "LeGue_*.csv", false, {"LeGue_2.csv", "Autre.csv"}, "2"},
        {"legue_?.CSV", "LeGue_1.csv", "legue_?.CSV", false, {"LeGue_12.csv"}, "1"},
        {"LeGue_1.csv", "LeGue_1.csv", "LeGue_1.csv", false, {"LeGue_2.csv"}, "1"},
        // A pattern the sample is not of: the sample's extension, as for any mask.
        {"Autre_*.csv", "LeGue_1.csv", "csv", false, {"Autre_1.csv"}, "2"}};
    int n = 0;
    for (const auto& c : cas) {
        SCOPED_TRACE(c.masque);
        const std::string racine = "m" + std::to_string(++n);
        const std::string donnees = dossier(racine + "/donnees");
        for (const std::string& f : c.autres)
            creer(racine + "/donnees/" + f, "Date;T\r\n2024-01-02 11:00:00;2.5\r\n");
        creer(racine + "/donnees/" + c.fichier, "Date;T\r\n2024-01-02 10:00:00;1.5\r\n");
        DialogueScripte dialogue;
        ProgressionScriptee progression;
        LanceurEnregistreur lanceur;
        Session s(dialogue, progression, lanceur, dossier(racine + "/programme"));
        s.description.Edit_masque = c.masque;
        s.description.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        dialogue.attendre_choix(1);
        if (c.question) dialogue.attendre_question(Reponse::non);
        exemplaire_fichier_donnees(s, dialogue, lanceur, donnees + c.fichier);
        EXPECT_EQ(s.description.Edit_masque, c.masque_apres);
        if (!c.nb.empty()) {
            EXPECT_EQ(s.inventaire.affichage.nb_fichiers_listes, c.nb);
            EXPECT_EQ(s.table.nb_fichiers(), std::stoi(c.nb));
            const auto ecrite =
                lire_fichier(s.description.dossier_description + s.Label_description_bd);
            ASSERT_TRUE(ecrite) << s.Label_description_bd;
            EXPECT_NE(ecrite->find("Edit_masque.text= " + c.masque_apres + "\r\n"),
                      std::string::npos);
        }
        if (c.question) {
            EXPECT_EQ(dialogue.ids.back(), IdMessage::extension_inattendue);
            EXPECT_EQ(
                dialogue.vus.back().texte,
                fr(" L'extention du fichier (csV) n'est pas celui attendu (*.csV) \r\r   modifier "
                   "l'extention et continuer (Oui)  \n\n   ou juste visualiser le fichier     "
                   "(Non) "));
            EXPECT_EQ(s.inventaire.affichage.nb_fichiers_listes, "1");
        }
    }
}

// A big sample is analysed from its ends: the same proposals and settings as the short file
// it was made from; only its count of lines differs.
TEST_F(ExemplaireTest, GrosExemplaireAnalyseCommeLeFichierCourt) {
    const auto court =
        lire_fichier(std::string(TARVO_DONNEES_REELLES) + "/inbo-watina-csv/BAOL031X_T5740.csv");
    ASSERT_TRUE(court);
    // Copies of its first data line before its last line, up to 17 MiB.
    const std::size_t l1 = court->find("\r\n") + 2;
    const std::string copie = court->substr(l1, court->find("\r\n", l1) + 2 - l1);
    const std::size_t derniere = court->rfind("\r\n", court->size() - 3) + 2;
    std::string gros = court->substr(0, derniere);
    while (gros.size() < (std::size_t{17} << 20)) gros += copie;
    gros += court->substr(derniere);

    struct Analyse {
        std::vector<IdMessage> ids;
        Description d;
        std::string nb_lignes;
        bool complet;
    };
    const auto analyser = [&](const std::string& racine, const std::string& contenu) {
        const std::string donnees = dossier(racine + "/donnees");
        creer(racine + "/donnees/f.csv", contenu);
        DialogueScripte dialogue;
        ProgressionScriptee progression;
        LanceurEnregistreur lanceur;
        PressePapierMemoire presse_papier;
        Session s(dialogue, progression, lanceur, presse_papier, dossier(racine + "/programme"));
        s.creation();
        s.description.dossier_description = dossier(racine + "/descriptions");
        s.description.dossier_choisi_sortie = dossier(racine + "/sortie");
        // "," accepted, quoted fields declined, the listing's date question refused.
        attendre(dialogue, {1, O, N, N});
        exemplaire_fichier_donnees(s, dialogue, lanceur, donnees + "f.csv");
        return Analyse{dialogue.ids, s.description, s.inventaire.affichage.nb_lignes_donnees,
                       s.inventaire.tampon_fichier_lu.complet()};
    };
    const Analyse a = analyser("court", *court);
    const Analyse b = analyser("gros", gros);
    EXPECT_TRUE(a.complet);
    EXPECT_FALSE(b.complet);
    EXPECT_EQ(b.ids, a.ids);
    EXPECT_EQ(b.d.RadioGroup_separateur_colonne_ItemIndex, Separateur::virgule);
    EXPECT_EQ(b.d.RadioGroup_separateur_colonne_ItemIndex,
              a.d.RadioGroup_separateur_colonne_ItemIndex);
    EXPECT_EQ(b.d.RadioGroup_avec_sans_intitule_ItemIndex,
              a.d.RadioGroup_avec_sans_intitule_ItemIndex);
    EXPECT_EQ(b.d.Edit_num_ligne_intitule_col, a.d.Edit_num_ligne_intitule_col);
    EXPECT_EQ(b.d.Edit_num_ligne_donnee, a.d.Edit_num_ligne_donnee);
    EXPECT_EQ(b.d.Edit_masque, a.d.Edit_masque);
    // The listing that ends the command counts the lines from the first data line on.
    EXPECT_EQ(a.nb_lignes,
              format_entier_groupe(std::count(court->begin(), court->end(), '\n') - 1));
    EXPECT_EQ(b.nb_lignes, format_entier_groupe(std::count(gros.begin(), gros.end(), '\n') - 1));
}

// Each "key= value" line of a description as written.
std::map<std::string, std::string> valeurs_par_cle(const Description& d) {
    std::map<std::string, std::string> v;
    const std::string texte = ecrire_description_texte(d);
    for (const std::string_view l : decouper_lignes(texte)) {
        const auto egal = l.find('=');
        v[std::string(l.substr(0, egal))] = std::string(l.substr(egal + 1));
    }
    return v;
}

// A Keller sample taken while a HOBO description is open, with an edit not saved yet: the
// edit is saved, dropped or the command stopped, as when another description is chosen;
// past that, the Keller family starts from the defaults for every setting the analysis
// does not check, never from the HOBO's zones, pattern, quotes, columns or corrections.
TEST_F(ExemplaireTest, UneAutreFamilleDemandePuisRepartDesValeursParDefaut) {
    const std::string keller = "3-0057_ROLLEGEM_07062010_140000_00_with_temp.txt";
    const std::string hobo = "QU5_Mooring_15m_20392468_20210803.csv";
    // The keys the command sets or the analysis checks, and the user's own editor.
    const std::set<std::string> hors_defauts = {
        "dossier_choisi",
        "dossier_choisi_sortie",
        "dossier_description",
        "Edit_masque.text",
        "Edit_nom_fic_sortie.text",
        "Edit_name_prog_blocnote.text",
        "RadioGroup_separateur_colonne_ItemIndex",
        "RadioGroup_avec_sans_intitule_ItemIndex",
        "Edit_num_ligne_intitule_col.text",
        "Edit_num_ligne_donnee.text",
    };
    const struct {
        Reponse enregistrer;
        bool poursuivie;
    } cas[] = {{N, true}, {O, true}, {A, false}};
    int n = 0;
    for (const auto& c : cas) {
        SCOPED_TRACE(n);
        const std::string racine = "famille" + std::to_string(++n);
        const std::string programme = dossier(racine + "/programme");
        const std::string descriptions = dossier(racine + "/descriptions");
        const std::string dossier_hobo = dossier(racine + "/hobo");
        const std::string dossier_keller = dossier(racine + "/keller");
        for (const auto& [sous_dossier, fichier, cible] :
             {std::tuple{"onset-hobo", hobo, dossier_hobo},
              std::tuple{"keller-logger", keller, dossier_keller}})
            std::filesystem::copy_file(
                std::filesystem::path(TARVO_DONNEES_REELLES) / sous_dossier / fichier,
                chemin_natif(cible + fichier));
        Description h = description_par_defaut({programme, 0});
        h.dossier_choisi = dossier_hobo;
        h.dossier_description = descriptions;
        h.dossier_choisi_sortie = dossier(racine + "/hobo/EXPORT");
        h.Edit_masque = "csv";
        lire_comme_hobo(h);
        h.Edit_fuseau_mesures = "UTC-07:00";
        h.Edit_fuseau_resultat = "UTC";
        h.CheckBox_champs_guillemets = true;
        h.CheckBox_col_cochee = true;
        h.Edit_col_cochee = "3";
        h.Edit_min_mesures_valides = "4";
        h.Edit_equiv_na = "-888";
        h.Edit_min_na = "-5";
        h.CheckBox_decalage_actif = true;
        h.TimePicker_decalage = 1.0 / 24;
        h.CheckBox_correction_si_t1supt2 = true;
        h.RadioGroup_methode_ItemIndex = Methode::max;
        h.Label_min_dsc = "16/06/2021 15:00:00";
        h.Edit_name_prog_blocnote = "gedit";
        ecrire_fichier_atomique(descriptions + "hobo.dsc", ecrire_description_texte(h));
        const std::string fichier_hobo = *lire_fichier(descriptions + "hobo.dsc");

        DialogueScripte dialogue;
        ProgressionScriptee progression;
        LanceurEnregistreur lanceur;
        Session s(dialogue, progression, lanceur, programme);
        s.creation();
        s.choisir_description(descriptions + "hobo.dsc");
        s.description.Edit_NA = "manquant";
        s.marquer_modifie();
        dialogue.attendre_question(c.enregistrer);
        // Tabulation, data on line 2 and titles on line 1 accepted; the listing's date
        // question refused.
        if (c.poursuivie) attendre(dialogue, {1, O, O, O, O, N});
        exemplaire_fichier_donnees(s, dialogue, lanceur, dossier_keller + keller);
        ASSERT_FALSE(dialogue.ids.empty());
        EXPECT_EQ(dialogue.ids.front(), IdMessage::enregistrer_modifications_description);
        EXPECT_EQ(contient(*lire_fichier(descriptions + "hobo.dsc"), "Edit_NA.text= manquant"),
                  c.enregistrer == O);
        if (!c.poursuivie) {
            EXPECT_EQ(s.Label_description_bd, "hobo.dsc");
            EXPECT_EQ(s.description.Edit_NA, "manquant");
            EXPECT_EQ(s.description.Edit_fuseau_mesures, "UTC-07:00");
            continue;
        }
        EXPECT_TRUE(s.Label_description_bd.starts_with("Temporaire_(txt"))
            << s.Label_description_bd;
        EXPECT_EQ(s.description.dossier_choisi, dossier_keller);
        EXPECT_EQ(s.description.Edit_name_prog_blocnote, "gedit");
        EXPECT_NE(s.description.Label_min_dsc, h.Label_min_dsc);
        const auto defauts = valeurs_par_cle(description_par_defaut({programme, 0}));
        const auto apres = valeurs_par_cle(s.description);
        for (const CleDescription& cle : cles_description()) {
            const std::string k(cle.cle);
            if (hors_defauts.contains(k) || cle.variable == DefautVariable::maintenant) continue;
            EXPECT_EQ(apres.at(k), defauts.at(k)) << k;
        }
        EXPECT_EQ(s.table.nb_fichiers(), 1);
    }
}

// "Editer et adapter" only shows the file.
TEST_F(ExemplaireTest, EditerEtAdapterOuvreLeFichierSansRienChanger) {
    const std::string donnees = dossier("donnees");
    creer("donnees/a.txt", "x\r\n10:00:00\t1\r\n");
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    LanceurEnregistreur lanceur;
    Session s(dialogue, progression, lanceur, dossier("programme"));
    const Description avant = s.description;
    dialogue.attendre_choix(2);
    exemplaire_fichier_donnees(s, dialogue, lanceur, donnees + "a.txt");
    EXPECT_EQ(dialogue.vus.front().legendes,
              (std::vector<std::string>{"Utiliser tels quels", "Editer et adapter"}));
    EXPECT_EQ(lanceur.appels, (std::vector<LanceurEnregistreur::Appel>{
                                  {LanceurEnregistreur::Genre::editeur, donnees + "a.txt"}}));
    EXPECT_EQ(s.description.RadioGroup_separateur_colonne_ItemIndex,
              avant.RadioGroup_separateur_colonne_ItemIndex);
    EXPECT_TRUE(s.inventaire.tampon_fichier_lu.vide());
}

// Leaving a field stores its corrected value; Enter in the column list also saves the
// description, Enter in a changed mask lists the files it now selects.
TEST_F(ExemplaireTest, QuitterUnChampCorrigeEtEntreeAgit) {
    const std::string donnees = dossier("donnees");
    const std::string descriptions = dossier("descriptions");
    creer("donnees/a.txt", "Date;T\r\n2024-01-02 10:00:00;1.5\r\n");
    const struct {
        const char* champ;
        std::string Description::*membre;
        std::string texte, valeur;
        bool entree, f_modif, ecrite, listee;
    } cas[] = {
        {"Edit_masque", &Description::Edit_masque, " a*.txt ", "a*.txt", false, true, false, false},
        {"Edit_masque", &Description::Edit_masque, " ?.txt", "?.txt", true, true, true,
         true},  // the listing saves it
        {"Edit_masque", &Description::Edit_masque, "txt", "txt", true, false, false, false},
        {"Edit_masque", &Description::Edit_masque, "*.txt", "*.txt", true, false, false, false},
        {"Edit_col_cochee", &Description::Edit_col_cochee, "2,3", "2,3", true, true, true, false},
        {"Edit_format_time_mesure_seul", &Description::Edit_format_datetime_mesure,
         "jj/mm/aaaa hh:mm", "jj/mm/aaaahh:mn", false, true, false, false},
        {"Edit_equiv_na", &Description::Edit_equiv_na, "NA,vide", "NA;vide", false, false, false,
         false},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.champ) + (c.entree ? " Entrée" : ""));
        DialogueScripte dialogue;
        ProgressionScriptee progression;
        LanceurEnregistreur lanceur;
        Session s(dialogue, progression, lanceur, dossier("programme"));
        s.description.dossier_choisi = donnees;
        s.description.dossier_description = descriptions;
        s.description.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        s.Label_description_bd = "essai.dsc";
        s.description.*c.membre = c.texte;
        quitter_champ(s, dialogue, c.champ, c.entree);
        EXPECT_EQ(s.description.*c.membre, c.valeur);
        EXPECT_EQ(s.f_modif || c.ecrite, c.f_modif);
        EXPECT_EQ(existe(descriptions + "essai.dsc"), c.ecrite);
        EXPECT_EQ(s.table.nb_fichiers(), c.listee ? 1 : 0);
        std::filesystem::remove(chemin_natif(descriptions + "essai.dsc"));
    }
}

TEST(BulleBoutonLister, DitCeQueLeListageVaLire) {
    EXPECT_EQ(bulle_bouton_lister(ModeEntree::classeur),
              fr(" ci-dessous le fichier XLS ciblé du répertoire de données "));
    EXPECT_EQ(bulle_bouton_lister(ModeEntree::presse_papier),
              " ci-dessous le fichier temporaire issu du presse-papier ");
    EXPECT_EQ(
        bulle_bouton_lister(ModeEntree::fichiers),
        fr(" Valider la description et lister ci-dessous les fichiers du répertoire de données "));
}

}  // namespace
}  // namespace tarvo
