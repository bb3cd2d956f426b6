#include "description/analyse_exemplaire.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description/cles_description.h"
#include "formats/cp1252.h"
#include "plateforme/doubles/dialogue_scripte.h"

namespace tarvo {
namespace {

Description defaut() {
    return description_par_defaut({"/tmp/", 0});
}

TEST(AnalyseExemplaire, ProposeLeSeparateurQuiDominePasLesEgalites) {
    const struct {
        std::string ligne;
        std::optional<int> propose;
    } cas[] = {
        {"2024-01-02 10:00:00\t1,5\t2,5\t3", 0},
        {"02/01/2024 10:00:00   12.5   13.5", 1},
        {"2024-01-02 10:00:00;1,5;2,5;3", 2},
        {"1,2023-05-02 15:00,22.07,,,", 3},
        // Blank-aligned ";" fields with a tab: still ";".
        {"a  ;  b  ;  c  ;  d  ;  e\t", 2},
        {"10:00:00\t1;2\t3;", std::nullopt},
        {"10:00:00", std::nullopt},
    };
    for (const auto& c : cas)
        EXPECT_EQ(separateur_propose(compter_separateurs(c.ligne)), c.propose) << c.ligne;
}

TEST(AnalyseExemplaire, NomProposeGardeLaBaseEtDitMasqueEtSeparateur) {
    const struct {
        std::string nom, masque;
        int separateur;
        std::string attendu;
    } cas[] = {
        {"Temporaire.DSC", "csv", 2, "Temporaire_(csv ;).dsc"},
        {"Temporaire.DSC", "*.dat", 0, "Temporaire_(__dat Tab).dsc"},
        {"Temporaire.DSC", "*.dat", 3, "Temporaire_(__dat ,).dsc"},
        {"essai_(csv ;).dsc", "txt", 1, "essai_(txt esp).dsc"},
        {"Temporaire.DSC", "LeGue_?*.csv", 2, "Temporaire_(LeGue____csv ;).dsc"},
    };
    for (const auto& c : cas) {
        Description d = defaut();
        d.Edit_masque = c.masque;
        d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        EXPECT_EQ(nom_description_propose(c.nom, d), c.attendu);
    }
}

TEST(AnalyseExemplaire, ControlesDesChamps) {
    const std::string quatre_m = fr(
        " il y a 4 \"m\", vérifier que les minutes soient \"mn\" et non \"mm\" comme les mois !");
    const std::string sept_na =
        fr("seules les 7 première équivalences seront prises en compte\n\n   en restreindre le "
           "nombre...");
    const struct {
        const char* nom;
        ControleChamp (*controle)(std::string_view);
        std::string texte, valeur, message;
    } cas[] = {
        {"datetime", controler_format_datetime, "aaaa/mm/jj hh:mm:ss", "aaaa/mm/jjhh:mn:ss", ""},
        {"datetime ;", controler_format_datetime, "jj/mm/aaaa hh;mn", "jj/mm/aaaahh:mn", ""},
        {"datetime mm mois", controler_format_datetime, "mm/jj/aaaa mm:ss", "mm/jj/aaaamm:ss",
         quatre_m},
        // The flexible entries of the pick list stay as chosen: their blanks mean something.
        {"souple", controler_format_datetime, "mm/jj/aa hh:mn:ss AM/PM souple",
         "mm/jj/aa hh:mn:ss AM/PM souple", ""},
        {"souple ;", controler_format_datetime, " jj/mm/aaaa hh;mn;ss souple ",
         "jj/mm/aaaa hh:mn:ss souple", ""},
        {"date seule", controler_format_date_seule, "aaaa-mm-jj hh:mm", "aaaa-mm-jj", ""},
        {"date seule et secondes", controler_format_date_seule, "jj.mm.aaaa hh:mm:ss", "jj.mm.aaaa",
         ""},
        {"date fichier", controler_date_fichier, "aaaa.mm.jj hh;mm", "aaaa,mm,jjhh:mn", ""},
        {"date fichier mm", controler_date_fichier, "mm.jj mm", "mm,jjmm", quatre_m},
        // The mask is a name pattern: its "*", "?" and "." stay.
        {"masque", controler_masque, "*.csv", "*.csv", ""},
        {"masque motif", controler_masque, " LeGue_?.csv ", "LeGue_?.csv", ""},
        {"na virgule mot", controler_equiv_na, "NA,vide", "NA;vide", ""},
        {"na virgule moins", controler_equiv_na, "NA,-99", "NA,-99", ""},
        {"na virgule E", controler_equiv_na, "1,E5", "1,E5", ""},
        {"na virgule finale", controler_equiv_na, "NA,", "NA,", ""},
        {"na huit", controler_equiv_na, "a;b;c;d;e;f;g;h", "a;b;c;d;e;f;g;h", sept_na},
    };
    for (const auto& c : cas) {
        const ControleChamp r = c.controle(c.texte);
        EXPECT_EQ(r.valeur, c.valeur) << c.nom;
        EXPECT_EQ(r.message, c.message) << c.nom;
        EXPECT_EQ(r.modifie, c.valeur != c.texte) << c.nom;
    }
}

TEST(AnalyseExemplaire, ListeDesColonnesSansLesColonnesDate) {
    const std::string alerte =
        fr(" Il a fallu enlever le n° de la colonne date/time de la liste des colonnes à "
           "extraire\n\n  de <");
    const struct {
        std::string texte, col_datetime;
        int nb_col;
        bool coche;
        std::string valeur;
        bool message;
    } cas[] = {
        {"1,2,,3,", "9", 0, false, "1,2,3", false},
        {"1,2,,3,", "9", 0, true, "1,2,3", true},
        {"1,4,5", "1", 0, true, "4,5", true},
        {"1,4,5", "1", 0, false, "4,5", false},
        {"2; 3. 4", "1", 0, true, "2,3,4", false},
        {"2,3,4,5", "1", 1, true, "4,5", true},  // date in 2, time in 3
        {"4,5", "1", 0, true, "4,5", false},
    };
    for (const auto& c : cas) {
        Description d = defaut();
        d.Edit_num_col_datetime = c.col_datetime;
        d.Edit_num_col_date = "2";
        d.Edit_num_col_time = "3";
        d.RadioGroup_datetime_nb_col_ItemIndex = static_cast<ColonnesDateHeure>(c.nb_col);
        d.CheckBox_col_cochee = c.coche;
        const ControleChamp r = controler_col_cochee(c.texte, d);
        EXPECT_EQ(r.valeur, c.valeur) << c.texte;
        EXPECT_EQ(!r.message.empty(), c.message) << c.texte;
        if (c.message) {
            EXPECT_EQ(r.message, alerte + c.texte + ">\n\n" + fr("   à <") + c.valeur + ">");
        }
    }
}

// One scan: the sample's lines, the description's layout before, the answers given, and
// the layout after.
struct CasAnalyse {
    const char* nom;
    std::vector<std::string> lignes;
    int intitule, separateur;  // 0 avec / 1 sans; separator index before
    std::string num_donnee, num_intitule;
    std::vector<Reponse> reponses;
    int intitule_apres, separateur_apres;
    std::string num_donnee_apres, num_intitule_apres;
    std::vector<std::string> debuts;  // how each question shown begins
    std::vector<IdMessage> ids;       // and what each one proposes
};

// A real HOBO export: its title line holds a time ("GMT-07:00") inside quotes. The first
// data line is line 3, whose commas make the separator, not the blanks of the titles.
TEST(AnalyseExemplaire, UneHeureEntreGuillemetsNEstPasUneDonnee) {
    const std::vector<std::string_view> lignes = {
        "\"Plot Title: 20392468\"",
        "\"#\",\"Date Time, GMT-07:00\",\"Temp, \xB0"
        "C (LGR S/N: 20392468, SEN S/N: 20392468, LBL: "
        "QU5-M)\",\"Coupler Detached (LGR S/N: 20392468)\"",
        "1,06/16/21 02:35:28 PM,32.587,Logged,,,",
        "2,06/16/21 02:45:00 PM,35.850,,,,",
    };
    Description d = defaut();
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    d.Edit_num_ligne_intitule_col = "2";
    d.Edit_num_ligne_donnee = "3";
    DialogueScripte dialogue;
    dialogue.attendre_question(Reponse::oui);  // "," rather than ";"
    EXPECT_TRUE(analyser_exemplaire(lignes, d, dialogue));
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_NE(dialogue.vus[0].texte.find(fr("séparateur de colonnes soit <virgule>")),
              std::string::npos)
        << dialogue.vus[0].texte;
    EXPECT_NE(dialogue.vus[0].texte.find(std::string(lignes[2])), std::string::npos);
    EXPECT_EQ(d.RadioGroup_separateur_colonne_ItemIndex, Separateur::virgule);
    EXPECT_EQ(d.Edit_num_ligne_donnee, "3");
}

TEST(AnalyseExemplaire, PropositionsDansLOrdre) {
    const CasAnalyse cas[] = {
        {"tab attendu ;",
         {"Date\tT", "02/01/2024 10:00:00\t1.5\t2.5"},
         0,
         2,
         "2",
         "1",
         {Reponse::oui},
         0,
         0,
         "2",
         "1",
         {"d'après le contenu de ce nouveau fichier de donnée,\n et de"},
         {IdMessage::exemplaire_separateur_propose}},
        {"garder le separateur",
         {"Date;T", "02/01/2024 10:00:00\t1.5\t2.5"},
         0,
         2,
         "2",
         "1",
         {Reponse::non},
         0,
         2,
         "2",
         "1",
         {"d'après"},
         {IdMessage::exemplaire_separateur_propose}},
        {"sans ligne de titres",
         {"2024-01-02 10:00:00;1,5", "2024-01-02 10:15:00;1,6"},
         0,
         2,
         "2",
         "1",
         {Reponse::oui, Reponse::oui},
         1,
         2,
         "1",
         "1",
         {"la ligne n°1  ne semble pas",
          " Les premières données sont détectées en ligne 1 et non en 2"},
         {IdMessage::exemplaire_ligne_semble_pas_intitules,
          IdMessage::exemplaire_ligne_donnee_proposee}},
        {"heure des la ligne 1",
         {"02/01/2024 10:00:00;1.5", "02/01/2024 10:15:00;1.6"},
         0,
         2,
         "2",
         "3",
         {Reponse::oui},
         1,
         2,
         "1",
         "3",
         {"d'après le contenu de ce nouveau fichier de donnée,\n il semble"},
         {IdMessage::exemplaire_pas_de_ligne_intitules}},
        {"donnees plus bas",
         {"en-tete", "Date;T", "2024-01-02 10:00:00;1,5"},
         0,
         2,
         "2",
         "1",
         {Reponse::oui},
         0,
         2,
         "3",
         "1",
         {" Les premières données sont détectées en ligne 3 et non en 2"},
         {IdMessage::exemplaire_ligne_donnee_proposee}},
        {"titres sous une ligne vide",
         {"", "Date;T", "2024-01-02 10:00:00;1,5"},
         0,
         2,
         "3",
         "1",
         {Reponse::oui},
         0,
         2,
         "3",
         "2",
         {"1- Il se pourrait"},
         {IdMessage::exemplaire_intitules_en_ligne}},
        {"sans mais titres presents",
         {"Date;Temp", "2024-01-02 10:00:00;1,5"},
         1,
         2,
         "1",
         "0",
         {Reponse::oui, Reponse::annuler},
         0,
         2,
         "1",
         "1",
         {"la ligne n°1 semble correspondre", " Les premières données"},
         {IdMessage::exemplaire_ligne_semble_intitules,
          IdMessage::exemplaire_ligne_donnee_proposee}},
        {"aucune heure", {"a;b", "1;2"}, 0, 0, "2", "1", {}, 0, 0, "2", "1", {}, {}},
        {"egalite rien propose",
         {"T;X", "10:00:00\t1;2\t3;"},
         0,
         1,
         "2",
         "1",
         {},
         0,
         1,
         "2",
         "1",
         {},
         {}},
    };
    for (const auto& c : cas) {
        Description d = defaut();
        d.RadioGroup_avec_sans_intitule_ItemIndex = static_cast<Intitules>(c.intitule);
        d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        d.Edit_num_ligne_donnee = c.num_donnee;
        d.Edit_num_ligne_intitule_col = c.num_intitule;
        DialogueScripte dialogue;
        for (const Reponse r : c.reponses) dialogue.attendre_question(r);
        const std::vector<std::string_view> lignes(c.lignes.begin(), c.lignes.end());
        const bool modifie = analyser_exemplaire(lignes, d, dialogue);
        EXPECT_EQ(d.RadioGroup_avec_sans_intitule_ItemIndex,
                  static_cast<Intitules>(c.intitule_apres))
            << c.nom;
        EXPECT_EQ(d.RadioGroup_separateur_colonne_ItemIndex,
                  static_cast<Separateur>(c.separateur_apres))
            << c.nom;
        EXPECT_EQ(d.Edit_num_ligne_donnee, c.num_donnee_apres) << c.nom;
        EXPECT_EQ(d.Edit_num_ligne_intitule_col, c.num_intitule_apres) << c.nom;
        EXPECT_EQ(modifie,
                  std::find(c.reponses.begin(), c.reponses.end(), Reponse::oui) != c.reponses.end())
            << c.nom;
        ASSERT_EQ(dialogue.vus.size(), c.debuts.size()) << c.nom;
        for (std::size_t i = 0; i < c.debuts.size(); ++i)
            EXPECT_TRUE(dialogue.vus[i].texte.starts_with(fr(c.debuts[i]))) << c.nom << i;
        EXPECT_EQ(dialogue.ids, c.ids) << c.nom;
    }
}

TEST(AnalyseExemplaire, QuestionDuSeparateurMontreLesComptesEtLesNoms) {
    const std::string ligne = "10:00:00\t1\t2";
    EXPECT_EQ(
        question_separateur(ligne, compter_separateurs(ligne), 0, 2),
        fr("d'après le contenu de ce nouveau fichier de donnée,\n et de la première ligne à "
           "'date' :\n\n10:00:00\t1\t2\n\n<tab>=2\n<esp>=0\n<;>=0\n<,>=0\n\n Il semble que le "
           "séparateur de colonnes soit <tabulation> et non <point-virgule>\n\n modifier le "
           "séparateur (oui)\n\n garder <Point-virgule> (non)"));
}

TEST(AnalyseExemplaire, BaliseDecaleLeDepartEtNumeroNonEntierArrete) {
    Description d = defaut();
    d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::balises;
    d.Edit_balise_deb = "DATA";
    const std::vector<std::string_view> lignes = {"x", "y", "[DATA]", "10:00:00;1"};
    EXPECT_EQ(ligne_depart(lignes, d), 2);
    d.Edit_balise_deb = "absente";
    EXPECT_EQ(ligne_depart(lignes, d), 4);

    Description mauvais = defaut();
    mauvais.Edit_num_ligne_intitule_col = "un";
    DialogueScripte dialogue;
    EXPECT_THROW(analyser_exemplaire(lignes, mauvais, dialogue), std::invalid_argument);
}

// After the scan, quoted titles or data lines bring one proposal: read quoted fields.
TEST(AnalyseExemplaire, ProposeLesChampsEntreGuillemets) {
    const std::string hobo_titres =
        "\"#\",\"Date Time, GMT-07:00\",\"Temp, \xB0"
        "C (LGR S/N: 20392468)\"";
    const std::string watina = "\"BAO\",\"14/02/2019 12:00:00 +01:00\",\"1053,225\"";
    const struct {
        const char* nom;
        std::vector<std::string> lignes;
        Intitules intitules;
        bool deja;                       // the setting is on already
        std::optional<Reponse> reponse;  // none: no question
        bool apres;
        std::string montree;  // the line the question quotes
    } cas[] = {
        {"titres entre guillemets",
         {"\xEF\xBB\xBF\"Plot Title: 20392468\"", hobo_titres, "1,06/16/21 02:35:28 PM,32.587"},
         Intitules::avec,
         false,
         Reponse::oui,
         true,
         hobo_titres},
        {"refusee",
         {"\"Plot Title\"", hobo_titres, "1,06/16/21 02:35:28 PM,32.587"},
         Intitules::avec,
         false,
         Reponse::non,
         false,
         hobo_titres},
        {"donnees entre guillemets sans titres",
         {watina, watina},
         Intitules::sans,
         false,
         Reponse::oui,
         true,
         watina},
        // A quoted field that is not the first of the line.
        {"champ entre guillemets apres le separateur",
         {"Date,T", "14/02/2019 12:00:00, \"1053,225\""},
         Intitules::avec,
         false,
         Reponse::oui,
         true,
         "14/02/2019 12:00:00, \"1053,225\""},
        {"deja cochee", {hobo_titres, watina}, Intitules::avec, true, std::nullopt, true, ""},
        {"pas de guillemet au debut d'un champ",
         {"Date,T (\"C\")", "14/02/2019 12:00:00,1053.225"},
         Intitules::avec,
         false,
         std::nullopt,
         false,
         ""},
        {"aucune ligne de donnees ni titres",
         {"a,b", ""},
         Intitules::sans,
         false,
         std::nullopt,
         false,
         ""},
    };
    for (const auto& c : cas) {
        Description d = defaut();
        d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
        d.RadioGroup_avec_sans_intitule_ItemIndex = c.intitules;
        d.Edit_num_ligne_intitule_col = c.lignes.size() > 2 ? "2" : "1";
        d.CheckBox_champs_guillemets = c.deja;
        const std::vector<std::string_view> lignes(c.lignes.begin(), c.lignes.end());
        DialogueScripte dialogue;
        if (c.reponse) dialogue.attendre_question(*c.reponse);
        EXPECT_EQ(proposer_champs_guillemets(lignes, d, dialogue), c.apres && !c.deja) << c.nom;
        EXPECT_EQ(d.CheckBox_champs_guillemets, c.apres) << c.nom;
        if (!c.reponse) {
            EXPECT_TRUE(dialogue.vus.empty()) << c.nom;
            continue;
        }
        ASSERT_EQ(dialogue.ids,
                  std::vector<IdMessage>{IdMessage::exemplaire_champs_guillemets_proposes})
            << c.nom;
        EXPECT_EQ(dialogue.vus[0].texte, question_champs_guillemets(c.montree)) << c.nom;
        EXPECT_EQ(dialogue.vus[0].boutons, Boutons::oui_non) << c.nom;
    }
    // Past a UTF-8 mark and blanks; a quote inside a field opens nothing.
    EXPECT_TRUE(ligne_entre_guillemets("\xEF\xBB\xBF  \"a\",b", ','));
    EXPECT_TRUE(ligne_entre_guillemets("a;  \"b\"", ';'));
    EXPECT_FALSE(ligne_entre_guillemets("a;b \"c\"", ';'));
    EXPECT_FALSE(ligne_entre_guillemets("a;\"b\"", ','));
    EXPECT_EQ(question_champs_guillemets("\"a\""),
              fr("d'après le contenu de ce nouveau fichier de donnée,\n les champs semblent "
                 "entre guillemets :\n\n\"a\"\n\n proposition => [champs entre guillemets]\n\n"
                 " lire les champs entre guillemets (oui)\n\n"
                 " garder les guillemets comme du texte (non)"));
}

// Read with quoted fields, the decimal commas and blanks inside the quotes are no
// separators: a ";" export is recognised; as text they tie with the ";" and nothing is
// proposed.
TEST(AnalyseExemplaire, SeparateurCompteHorsDesGuillemets) {
    const std::vector<std::string_view> lignes = {
        "\"Date\";\"A\";\"B\";\"C\"", "\"02/01/2024 10:00:00\";\"1,5\";\"2,5\";\"3,5\""};
    for (const bool guillemets : {true, false}) {
        Description d = defaut();
        d.CheckBox_champs_guillemets = guillemets;
        DialogueScripte dialogue;
        if (guillemets) dialogue.attendre_question(Reponse::oui);
        analyser_exemplaire(lignes, d, dialogue);
        EXPECT_EQ(d.RadioGroup_separateur_colonne_ItemIndex,
                  guillemets ? Separateur::point_virgule : Separateur::tabulation);
        if (!guillemets) continue;
        ASSERT_EQ(dialogue.ids, std::vector<IdMessage>{IdMessage::exemplaire_separateur_propose});
        EXPECT_EQ(dialogue.vus[0].texte, question_separateur(lignes[1], {0, 0, 3, 0}, 2, 0));
    }
}

}  // namespace
}  // namespace tarvo
