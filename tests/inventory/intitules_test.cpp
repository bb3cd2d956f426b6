#include "inventory/intitules.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "formats/journal_suivi.h"
#include "inventory/prelecture.h"
#include "inventory/table_fichiers.h"
#include "outils_inventaire.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"

namespace tarvo {
namespace {

using essai::description_defaut;

// One analysis of a buffer, with the table row it fills.
struct Analyse {
    explicit Analyse(const std::string& contenu) {
        tampon.charger(contenu);
        ligne = table.ajouter_ligne();
    }
    SuiteListage lancer() {
        plage = plage_donnees(d, tampon);
        return analyser_intitules(d, {tampon, plage, "/donnees/f.csv", ligne}, colonnes,
                                  {table, journal, dialogue, lanceur});
    }
    Description d = description_defaut();
    TamponLignes tampon;
    TableFichiers table;
    int ligne = 0;
    PlageDonnees plage;
    ColonnesFichier colonnes;
    JournalSuivi journal;
    DialogueScripte dialogue;
    LanceurEnregistreur lanceur;
};

TEST(AnalyserIntitules, DispositionSansQuestion) {
    struct Cas {
        std::string nom;
        std::string contenu;
        int separateur, avec_sans, nb_dates;
        std::string num_intitule, num_donnee;
        bool balises;
        std::string alternatifs;  // ticked when not empty
        int donnees;
        std::string nb_colonnes, ligne_intitules, intitules, label19;
    };
    const std::vector<Cas> cas = {
        {"point-virgule", "Date;Heure;T;H\n2023/12/25;08:00:00;1,5;80\n", 2, 0, 2, "1", "2", false,
         "", 2, " 4", " -", "Date\tHeure\tT\tH", fr("2 colonnes de données")},
        {"sans intitulés", "2023/12/25;08:00:00;1,5;80\n", 2, 1, 2, "0", "1", false, "", 2, " 4",
         " -", "A1\tB2\tC3\tD4", fr("2 colonnes de données")},
        {"blancs, titre de deux mots", "Date  Heure  Temp C\n2023/12/25 08:00:00   12.5\n", 1, 0, 2,
         "1", "2", false, "", 1, " 3", " -", "Date\tHeure\tTemp_C", fr("1 colonne de données")},
        {"titres en ligne 3", "Capteur 7\n\nDate;T\n2023/12/25 08:00:00;1\n", 2, 0, 1, "3", "4",
         false, "", 1, " 2", " 3", "Date\tT", fr("1 colonne de données")},
        // With tags the title line is counted from the start tag.
        {"balises", "entete\n[Data]\nDate;T\n2023/12/25 08:00:00;1\nEND\n", 2, 0, 1, "2", "3", true,
         "", 1, " 2", " 3", "Date\tT", fr("1 colonne de données")},
        {"alternatifs", "Date;T\n2023/12/25 08:00:00;1\n", 2, 0, 1, "1", "2", false,
         "\"Jour\", Mesure", 1, " 2", " -", "Jour\t Mesure", fr("1 colonne de données")},
        {"sans intitulés, alternatifs", "2023/12/25 08:00:00,1,2\n", 3, 1, 1, "0", "1", false,
         "t;niveau;temp;en trop", 2, " 3", " -", "t\tniveau\ttemp", fr("2 colonnes de données")},
        // Blanks that open or close an aligned line are no extra column.
        {"sans intitulés, blancs aux bords", "  2023/12/25 08:00:00   12.5   80 \n", 1, 1, 2, "0",
         "1", false, "", 2, " 4", " -", "A1\tB2\tC3\tD4", fr("2 colonnes de données")},
    };
    for (const Cas& c : cas) {
        Analyse a(c.contenu);
        a.d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        a.d.RadioGroup_avec_sans_intitule_ItemIndex = static_cast<Intitules>(c.avec_sans);
        a.d.RadioGroup_datetime_nb_col_ItemIndex = static_cast<ColonnesDateHeure>(c.nb_dates - 1);
        a.d.Edit_num_ligne_intitule_col = c.num_intitule;
        a.d.Edit_num_ligne_donnee = c.num_donnee;
        a.d.RadioGroup_numlig_balise_ItemIndex = static_cast<DebutDonnees>(c.balises ? 1 : 0);
        a.d.Edit_balise_deb = "[Data]";
        a.d.CheckBox_int_col_alternatif = !c.alternatifs.empty();
        a.d.Edit_new_desc_colonne = c.alternatifs;
        const Description avant = a.d;
        EXPECT_EQ(a.lancer(), SuiteListage::continuer) << c.nom;
        EXPECT_TRUE(a.dialogue.vus.empty()) << c.nom;
        EXPECT_EQ(a.colonnes.nb_colonnes_donnees, c.donnees) << c.nom;
        EXPECT_EQ(a.colonnes.nb_colonnes_dates, c.nb_dates) << c.nom;
        EXPECT_EQ(a.table.lire_cellule(1, Colonne::nb_colonnes), c.nb_colonnes) << c.nom;
        EXPECT_EQ(a.table.lire_cellule(1, Colonne::ligne_intitules), c.ligne_intitules) << c.nom;
        EXPECT_EQ(a.colonnes.intitules, c.intitules) << c.nom;
        EXPECT_EQ(a.colonnes.texte_nb_colonnes, c.label19) << c.nom;
        EXPECT_EQ(a.d, avant) << c.nom;
    }
}

TEST(AnalyserIntitules, LigneDeTitresPriseSansIntitules) {
    Analyse a("Date;T\n2023/12/25 08:00:00;1\n");
    a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    a.d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::sans;
    a.d.Edit_num_ligne_donnee = "1";
    a.dialogue.attendre_choix(1);  // Corriger
    EXPECT_EQ(a.lancer(), SuiteListage::arreter);
    ASSERT_EQ(a.dialogue.vus.size(), 1u);
    EXPECT_EQ(a.dialogue.ids[0], IdMessage::ligne_semble_intitules);
    EXPECT_EQ(a.dialogue.vus[0].texte,
              fr("la ligne n°1 semble correspondre à des intitulés de colonnes..\n\nDate;T\n\n"
                 " Corriger l'option vers : [x] avec intitulé de colonnes et son n° de ligne\n\n"
                 " ou Continuer"));
    EXPECT_EQ(a.dialogue.vus[0].legendes, (std::vector<std::string>{"Corriger", "Continuer"}));
    EXPECT_EQ(a.d.RadioGroup_avec_sans_intitule_ItemIndex, Intitules::avec);
    EXPECT_EQ(a.d.Edit_num_ligne_intitule_col, "1");
    EXPECT_EQ(a.d.Edit_num_ligne_donnee, "2");
}

// With tags the line numbers count from the start tag; a correction must leave numbers
// that point at the lines it was about.
TEST(AnalyserIntitules, CorrectionsAvecBalises) {
    {
        // Titles taken for data: the tag goes off, so the lines count from the top and
        // the data start below the titles (line 4), not at the tag-relative number 2.
        Analyse a("entete\n[Data]\nDate;T\n2023/12/25 08:00:00;1\n");
        a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        a.d.RadioGroup_avec_sans_intitule_ItemIndex = Intitules::sans;
        a.d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::balises;
        a.d.Edit_balise_deb = "[Data]";
        a.d.Edit_num_ligne_donnee = "2";
        a.dialogue.attendre_choix(1);  // Corriger
        EXPECT_EQ(a.lancer(), SuiteListage::arreter);
        ASSERT_EQ(a.dialogue.vus.size(), 1u);
        EXPECT_EQ(a.dialogue.ids[0], IdMessage::ligne_semble_intitules);
        EXPECT_TRUE(a.dialogue.vus[0].texte.starts_with(fr("la ligne n°3 semble")));
        EXPECT_EQ(a.d.RadioGroup_avec_sans_intitule_ItemIndex, Intitules::avec);
        EXPECT_EQ(a.d.RadioGroup_numlig_balise_ItemIndex, DebutDonnees::numero_de_ligne);
        EXPECT_EQ(a.d.Edit_num_ligne_intitule_col, "3");
        EXPECT_EQ(a.d.Edit_num_ligne_donnee, "4");
    }
    {
        // Figures where titles are expected: the data start on that line, still counted
        // from the tag, which stays on.
        Analyse a("entete\n[Data]\n123456789;2\n2023/12/25 08:00:00;1\n");
        a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        a.d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::balises;
        a.d.Edit_balise_deb = "[Data]";
        a.d.Edit_num_ligne_intitule_col = "2";
        a.d.Edit_num_ligne_donnee = "3";
        a.dialogue.attendre_choix(2);  // Continuer: digits where titles are expected
        a.dialogue.attendre_choix(1);  // Corriger: list again without titles
        EXPECT_EQ(a.lancer(), SuiteListage::relancer);
        EXPECT_EQ(a.d.RadioGroup_avec_sans_intitule_ItemIndex, Intitules::sans);
        EXPECT_EQ(a.d.RadioGroup_numlig_balise_ItemIndex, DebutDonnees::balises);
        EXPECT_EQ(a.d.Edit_num_ligne_donnee, "2");
        EXPECT_EQ(plage_donnees(a.d, a.tampon).premiere, 2);  // the line of the figures
    }
}

TEST(AnalyserIntitules, ChiffresAuLieuDeTitres) {
    // Titles expected on line 1, but it holds figures: two questions in turn.
    Analyse a("123456789;2\n2023/12/25 08:00:00;1\n");
    a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    a.dialogue.attendre_choix(2);  // Continuer
    a.dialogue.attendre_choix(1);  // Corriger: list again without titles
    EXPECT_EQ(a.lancer(), SuiteListage::relancer);
    ASSERT_EQ(a.dialogue.vus.size(), 2u);
    EXPECT_EQ(a.dialogue.ids, (std::vector<IdMessage>{IdMessage::ligne_semble_pas_intitules,
                                                      IdMessage::intitules_semblent_donnees}));
    EXPECT_EQ(
        a.dialogue.vus[0].texte,
        fr("la ligne n°1  ne semble pas correspondre à une suite d'intitulés de colonnes..\n\n"
           " le nombre de chiffres (10) est supérieur au nombre de lettres (0)\n\n"
           "123456789;2\n\n Corriger l'option vers : [x] sans intitulé de colonnes\n\n"
           " ou Continuer"));
    EXPECT_EQ(a.dialogue.vus[1].texte,
              fr("a- la ligne n°1  ne semble pas correspondre à une suite d'intitulés de "
                 "colonnes...\n\n123456789;2\n\n proposition => choisir l'option sans intitulé de "
                 "colonnes\n\n"));
    EXPECT_EQ(a.dialogue.vus[1].legendes,
              (std::vector<std::string>{"Corriger", "Continuer", "Annuler"}));
    EXPECT_EQ(a.d.RadioGroup_avec_sans_intitule_ItemIndex, Intitules::sans);
    EXPECT_EQ(a.d.Edit_num_ligne_donnee, "1");
}

TEST(AnalyserIntitules, UneSeuleColonneArreteEtVideLaTable) {
    // A ";" file read with the comma separator.
    Analyse a("Date;T\n2023/12/25 08:00:00;1\n");
    a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
    a.dialogue.attendre_choix(1);  // its single button, Oui
    EXPECT_EQ(a.lancer(), SuiteListage::arreter);
    ASSERT_EQ(a.dialogue.vus.size(), 1u);
    EXPECT_EQ(a.dialogue.ids[0], IdMessage::une_seule_colonne);
    const std::string attendu = fr(
        "??? avec le séparateur de colonne => Virgule une seule colonne de détectée !!!        "
        "\n\n  vérifier le séparateur de colonne en Entrée\n\n"
        "  Aide : décompte de la ligne <intitulés d'origine>\n"
        "     0 tabulation(s)   \n     0 espace(s)\n     1 point-virgule(s)\n     0 virgule(s)\n\n"
        "  vérifier la liste des colonnes à extraire ci-dessous\n\n<Date;T>");
    EXPECT_EQ(a.dialogue.vus[0].texte, attendu);
    EXPECT_EQ(a.dialogue.vus[0].type, TypeMessage::avertissement);
    EXPECT_EQ(a.dialogue.vus[0].legendes, std::vector<std::string>{"Oui"});
    // The log keeps the message line by line.
    ASSERT_GE(a.journal.lignes().size(), 3u);
    EXPECT_EQ(a.journal.lignes()[0], fr("??? avec le séparateur de colonne => Virgule une seule "
                                        "colonne de détectée !!!        "));
    EXPECT_EQ(a.journal.lignes().back(), "<Date;T>");
    EXPECT_EQ(a.lanceur.appels, (std::vector<LanceurEnregistreur::Appel>{
                                    {LanceurEnregistreur::Genre::editeur, "/donnees/f.csv"}}));
    EXPECT_EQ(a.table.nb_lignes(), 1);
}

TEST(AnalyserIntitules, IntitulesAlternatifsDiscordants) {
    Analyse a("Date;T\n2023/12/25 08:00:00;1\n");
    a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    a.d.CheckBox_int_col_alternatif = true;
    a.d.Edit_new_desc_colonne = "a,b,c";
    EXPECT_EQ(a.lancer(), SuiteListage::arreter);
    ASSERT_EQ(a.dialogue.vus.size(), 1u);
    EXPECT_EQ(a.dialogue.ids[0], IdMessage::colonnes_alternatives_discordantes);
    EXPECT_EQ(a.dialogue.vus[0].texte,
              fr(" le nombre de colonnes alternatives (3) est différent\n\n du nombre original (2)"
                 "\n\n => vérifier la similitude ...\n\n   ou effacer les intitulés alternatifs\n\n"
                 "   ou le séparateur (Point-virgule)"));
    EXPECT_EQ(a.dialogue.vus[0].type, TypeMessage::erreur);
    EXPECT_EQ(a.lanceur.appels.size(), 1u);
}

TEST(AnalyserIntitules, NumeroDeLigneDesTitresNul) {
    // The smallest integer too: it must not wrap around to a line far below.
    for (const std::string numero : {"0", "-2147483648"}) {
        Analyse a("Date;T\n2023/12/25 08:00:00;1\n");
        a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        a.d.Edit_num_ligne_intitule_col = numero;
        EXPECT_EQ(a.lancer(), SuiteListage::arreter) << numero;
        ASSERT_EQ(a.dialogue.vus.size(), 1u) << numero;
        EXPECT_EQ(a.dialogue.ids[0], IdMessage::ligne_intitules_nulle) << numero;
        EXPECT_EQ(a.dialogue.vus[0].texte,
                  fr("??? le n° de ligne des intitulés de colonnes semble être nul\n\n => "
                     "sélectionner l'option sans intitulé de colonne ...\n\n   le fichier sera "
                     "ouvert dans le blocnote"))
            << numero;
        EXPECT_EQ(a.lanceur.appels.size(), 1u) << numero;
    }
}

TEST(AnalyserIntitules, BlancsTitresEtDonneesEnDesaccord) {
    const std::string contenu = "Date Heure Temp Niveau\n2023/12/25 08:00:00 1.5\n";
    {
        // OK: the listing goes on with the count of the data line.
        Analyse a(contenu);
        a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::espace;
        a.d.RadioGroup_datetime_nb_col_ItemIndex = ColonnesDateHeure::deux;
        a.dialogue.attendre_choix(2);
        EXPECT_EQ(a.lancer(), SuiteListage::continuer);
        ASSERT_EQ(a.dialogue.vus.size(), 1u);
        EXPECT_EQ(a.dialogue.ids[0], IdMessage::nb_colonnes_intitules_donnees_different);
        EXPECT_EQ(a.dialogue.vus[0].texte,
                  fr("1- Valider et LISTER\n\nAvec le séparateur Espace\n"
                     "le nombre de colonnes détectées entre intitulé et données est différent\n\n"
                     "nb col (intitulé) = 4\nDate Heure Temp Niveau\nnb col (données)  = 3\n"
                     "2023/12/25 08:00:00 1.5\n la ligne d'intitulés corrigée suivante contient 4 "
                     "colonnes\nDate,Heure,Temp,Niveau\n Juste stopper le traitement ===> ( Ok )\n"
                     " Stopper le traitement et utiliser la ligne corrigée alternative => (Oui)"));
        EXPECT_EQ(a.colonnes.nb_colonnes_donnees, 1);
        EXPECT_EQ(a.journal.lignes(), (std::vector<std::string>{fr("nb col (intitulé) = 4"),
                                                                fr("nb col (données)  = 3")}));
    }
    {
        // Oui, then Oui to overwrite: the corrected titles become the alternative ones.
        Analyse a(contenu);
        a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::espace;
        a.d.RadioGroup_datetime_nb_col_ItemIndex = ColonnesDateHeure::deux;
        a.d.Edit_new_desc_colonne = "x";
        a.dialogue.attendre_choix(1);
        a.dialogue.attendre_question(Reponse::oui);
        EXPECT_EQ(a.lancer(), SuiteListage::arreter);
        ASSERT_EQ(a.dialogue.vus.size(), 2u);
        EXPECT_EQ(a.dialogue.ids,
                  (std::vector<IdMessage>{IdMessage::nb_colonnes_intitules_donnees_different,
                                          IdMessage::ecraser_intitules_originaux}));
        EXPECT_EQ(a.dialogue.vus[1].texte,
                  fr("1- Valider et LISTER\n\n     écraser les intitulés originaux contenant 4 "
                     "colonnes\nx\n\n     avec la correction contenant 4 "
                     "colonnes\nDate,Heure,Temp,Niveau\n"
                     "     ce qui serait en accord avec les 3 de colonnes de données  => (Oui)"));
        EXPECT_TRUE(a.d.CheckBox_int_col_alternatif);
        EXPECT_EQ(a.d.Edit_new_desc_colonne, "Date,Heure,Temp,Niveau");
        EXPECT_EQ(a.table.nb_lignes(), 1);
    }
}

// Tide recorders name only their first columns: the others are data all the same, named
// by their number, and the log says so once, without a question.
TEST(AnalyserIntitules, TitresPlusCourtsQueLesDonnees) {
    struct Cas {
        std::string nom;
        std::string contenu;
        int separateur, nb_dates;
        bool guillemets;
        int donnees;
        std::string intitules;
    };
    const std::vector<Cas> cas = {
        {"point-virgule", "Date;Niveau\n01/06/2024 01:00:00;1.52;12.5;7;3\n", 2, 1, false, 4,
         "Date\tNiveau\tcolonne 3\tcolonne 4\tcolonne 5"},
        {"blancs, deux colonnes de dates", "Date Heure\n01/06/2024 01:00:00 1.52 12.5 7\n", 1, 2,
         false, 3, "Date\tHeure\tcolonne 3\tcolonne 4\tcolonne 5"},
        {"entre guillemets", "\"Date\",\"Level, m\"\n01/06/2024 01:00:00,1.52,12.5,7,3\n", 3, 1,
         true, 4, "Date\tLevel, m\tcolonne 3\tcolonne 4\tcolonne 5"},
        // Only the date is named: the data still have their columns.
        {"seule la date", "Date\n01/06/2024 01:00:00;1.52;12.5;7;3\n", 2, 1, false, 4,
         "Date\tcolonne 2\tcolonne 3\tcolonne 4\tcolonne 5"},
    };
    for (const Cas& c : cas) {
        Analyse a(c.contenu);
        a.d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        a.d.RadioGroup_datetime_nb_col_ItemIndex = static_cast<ColonnesDateHeure>(c.nb_dates - 1);
        a.d.CheckBox_champs_guillemets = c.guillemets;
        const Description avant = a.d;
        EXPECT_EQ(a.lancer(), SuiteListage::continuer) << c.nom;
        EXPECT_TRUE(a.dialogue.vus.empty()) << c.nom;
        EXPECT_EQ(a.colonnes.nb_colonnes_donnees, c.donnees) << c.nom;
        EXPECT_EQ(a.colonnes.intitules, c.intitules) << c.nom;
        EXPECT_EQ(a.table.lire_cellule(1, Colonne::nb_colonnes), " 5") << c.nom;
        ASSERT_EQ(a.journal.problemes().size(), 1u) << c.nom;
        EXPECT_EQ(a.journal.problemes()[0].probleme, ProblemeSuivi::intitules_manquants) << c.nom;
        EXPECT_EQ(a.d, avant) << c.nom;
    }

    // The log's list of the columns names them as the listing did.
    Analyse a("Date;Niveau\n01/06/2024 01:00:00;1.52;12.5\n");
    a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    ASSERT_EQ(a.lancer(), SuiteListage::continuer);
    EXPECT_EQ(a.journal.lignes()[a.journal.problemes()[0].ligne],
              fr("!!! la ligne d'intitulés n°1 ne nomme que 2 des 3 colonnes des données => "
                 "intitulés ajoutés : colonne 3"));
    JournalSuivi journal;
    lister_colonnes(a.d, a.colonnes, 3, "cumul", journal, a.dialogue);
    EXPECT_TRUE(a.dialogue.vus.empty());
    EXPECT_NE(std::find(journal.lignes().begin(), journal.lignes().end(), "3 - colonne 3"),
              journal.lignes().end());
}

// A title line that ends with its separator names one more column, empty, quoted or not;
// it counts as many columns as the data line below it, and no title is missing.
TEST(AnalyserIntitules, SeparateurFinalDesTitres) {
    for (const bool guillemets : {false, true}) {
        Analyse a("Date Heure,Level,Temp,\n01/06/2024 01:00:00,1.5,12.5,7\n");
        a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
        a.d.CheckBox_champs_guillemets = guillemets;
        EXPECT_EQ(a.lancer(), SuiteListage::continuer) << guillemets;
        EXPECT_EQ(a.colonnes.nb_colonnes_donnees, 3) << guillemets;
        EXPECT_EQ(a.colonnes.intitules, "Date Heure\tLevel\tTemp\t") << guillemets;
        EXPECT_EQ(a.table.lire_cellule(1, Colonne::nb_colonnes), " 4") << guillemets;
        EXPECT_TRUE(a.journal.problemes().empty()) << guillemets;
    }
}

TEST(PlageDonnees, NumerosEtBalises) {
    struct Cas {
        std::string contenu;
        bool balises;
        std::string num_donnee;
        int premiere, derniere, decalage;
    };
    const std::vector<Cas> cas = {
        {"T\n1\n2\n  \n", false, "2", 1, 2, 0},
        {"T\n1\n2", false, "2", 1, 2, 0},
        {"x\n[Data]\n3\n1\n2\nEND OF DATA\n", true, "3", 3, 4, 1},
        // No end tag: up to the last line that is not blank.
        {"[Data]\n1\n2\n\n", true, "2", 1, 2, 0},
        // No start tag: no data line at all.
        {"a\nb\n", true, "2", 3, 1, 2},
        // The smallest integer points before the first line, it does not wrap around.
        {"T\n1\n", false, "-2147483648", 0, 1, 0},
    };
    for (const Cas& c : cas) {
        Description d = description_defaut();
        d.RadioGroup_numlig_balise_ItemIndex = static_cast<DebutDonnees>(c.balises ? 1 : 0);
        d.Edit_balise_deb = "[Data]";
        d.Edit_balise_fin = "END OF DATA";
        d.Edit_num_ligne_donnee = c.num_donnee;
        TamponLignes tampon;
        tampon.charger(c.contenu);
        const PlageDonnees p = plage_donnees(d, tampon);
        EXPECT_EQ(p.premiere, c.premiere) << testing::PrintToString(c.contenu);
        EXPECT_EQ(p.derniere, c.derniere) << testing::PrintToString(c.contenu);
        EXPECT_EQ(p.decalage_balise, c.decalage) << testing::PrintToString(c.contenu);
    }
    // The largest integer counted from a tag stays past the end of the buffer.
    Description d = description_defaut();
    d.RadioGroup_numlig_balise_ItemIndex = DebutDonnees::balises;
    d.Edit_balise_deb = "[Data]";
    d.Edit_num_ligne_donnee = "2147483647";
    TamponLignes tampon;
    tampon.charger("x\ny\n[Data]\n1\n");
    EXPECT_GT(plage_donnees(d, tampon).premiere, 3);
}

TEST(ResumeColonnesExtraites, TitresDesColonnesChoisies) {
    const std::string a_l = "A1\tB2\tC3\tD4\tE5\tF6\tG7\tH8\tI9\tJ10\tK11\tL12";
    struct Cas {
        bool coche;
        std::string liste;
        int separateur;
        std::string alternatifs;  // ticked when not empty
        std::string origine;
        std::string attendu;
    };
    const std::vector<Cas> cas = {
        {true, "7,12", 2, "", a_l, "=> G7 | L12"},
        {true, "7;12", 2, "", a_l, "=> G7 | L12"},
        {false, "7,12", 2, "", a_l, "---"},
        {true, "7,", 2, "", a_l, "avant"},  // still being typed
        {true, "", 2, "", a_l, "avant"},
        {true, "2,3", 2, "t,niveau;temp", a_l, "=> niveau | temp"},
        {true, "3", 1, "", "Date  Heure  Temp C", "=> Temp_C"},
        {true, "2", 2, "", "", ""},
    };
    for (const Cas& c : cas) {
        Description d = description_defaut();
        d.CheckBox_col_cochee = c.coche;
        d.Edit_col_cochee = c.liste;
        d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        d.CheckBox_int_col_alternatif = !c.alternatifs.empty();
        d.Edit_new_desc_colonne = c.alternatifs;
        EXPECT_EQ(resume_colonnes_extraites(d, c.origine, "avant"), c.attendu) << c.liste;
    }
}

TEST(ListerColonnes, JournalDesColonnes) {
    Description d = description_defaut();
    d.RadioGroup_datetime_nb_col_ItemIndex = ColonnesDateHeure::deux;
    d.Edit_num_col_date = "1";
    d.Edit_num_col_time = "2";
    d.CheckBox_col_cochee = true;
    d.Edit_col_cochee = "4";
    ColonnesFichier colonnes;
    colonnes.nb_colonnes_dates = 2;
    colonnes.nb_colonnes_donnees = 2;
    colonnes.Edit_intitule_origine = "Date;Heure;Temp;Niveau";
    JournalSuivi journal;
    DialogueScripte dialogue;
    lister_colonnes(d, colonnes, 97, fr("moyenne des n mesures OK"), journal, dialogue);
    EXPECT_TRUE(dialogue.vus.empty());
    EXPECT_EQ(
        journal.lignes(),
        (std::vector<std::string>{
            "===============================================", " nb de colonnes de mesure(s) = 2",
            " nb de colonnes pour les dates/heures = 2", "1 - Date", "2 - Heure", "3 - Temp",
            "4 - Niveau", "...extraire : _lg=Date\tHeure\tTemp\tNiveau  => ", "<Date> date",
            "<Heure> time", "<Niveau>", "<nb(96)_methode_(moyenne des n mesures OK)>"}));

    // Titles without any separator cannot be listed.
    colonnes.Edit_intitule_origine = "Date";
    journal.vider();
    lister_colonnes(d, colonnes, 97, "cumul", journal, dialogue);
    ASSERT_EQ(dialogue.vus.size(), 1u);
    EXPECT_EQ(dialogue.ids[0], IdMessage::aucune_colonne_detectee);
    EXPECT_EQ(dialogue.vus[0].texte,
              fr(" le nombre de colonnes détectées est nul :\n\n<Date>\n\n  vérifier les intitulés "
                 "alternatifs..."));
}

// Quoted titles keep the separators they hold, in the layout, the summary and the log.
TEST(AnalyserIntitules, TitresEntreGuillemets) {
    struct Cas {
        std::string nom;
        std::string contenu;
        int separateur, avec_sans;
        std::string alternatifs;  // ticked when not empty
        int donnees;
        std::string intitules;
    };
    const std::vector<Cas> cas = {
        {"titres HOBO",
         "\"#\",\"Date Time, GMT-07:00\",\"Temp, C (S/N: 1, LBL: Q)\"\n1,06/16/21,2\n", 3, 0, "", 2,
         "#\tDate Time, GMT-07:00\tTemp, C (S/N: 1, LBL: Q)"},
        {"tout entre guillemets",
         "\"Date\";\"T;1\";\"a \"\"b\"\"\"\n\"2023/12/25\";\"1,5\";\"2\"\n", 2, 0, "", 2,
         "Date\tT;1\ta \"b\""},
        {"blancs", "\"Date\" \"Temp C\"\n2023/12/25 12\n", 1, 0, "", 1, "Date\tTemp C"},
        {"sans intitulés", "\"2023/12/25\",\"1,5\",\"2,5\"\n", 3, 1, "", 2, "A1\tB2\tC3"},
        {"alternatifs", "\"Date\",\"T, C\"\n2023/12/25,1\n", 3, 0, "Jour;Mesure", 1,
         "Jour\tMesure"},
    };
    for (const Cas& c : cas) {
        Analyse a(c.contenu);
        a.d.CheckBox_champs_guillemets = true;
        a.d.RadioGroup_separateur_colonne_ItemIndex = static_cast<Separateur>(c.separateur);
        a.d.RadioGroup_avec_sans_intitule_ItemIndex = static_cast<Intitules>(c.avec_sans);
        a.d.Edit_num_ligne_intitule_col = c.avec_sans == 0 ? "1" : "0";
        a.d.Edit_num_ligne_donnee = c.avec_sans == 0 ? "2" : "1";
        a.d.CheckBox_int_col_alternatif = !c.alternatifs.empty();
        a.d.Edit_new_desc_colonne = c.alternatifs;
        EXPECT_EQ(a.lancer(), SuiteListage::continuer) << c.nom;
        EXPECT_TRUE(a.dialogue.vus.empty()) << c.nom;
        EXPECT_EQ(a.colonnes.nb_colonnes_donnees, c.donnees) << c.nom;
        EXPECT_EQ(a.colonnes.intitules, c.intitules) << c.nom;
        EXPECT_EQ(a.table.lire_cellule(1, Colonne::nb_colonnes),
                  " " + std::to_string(c.donnees + 1))
            << c.nom;
    }

    // Alternative titles that count otherwise than the quoted ones are refused.
    Analyse a("\"Date\",\"T, C\"\n2023/12/25,1\n");
    a.d.CheckBox_champs_guillemets = true;
    a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
    a.d.CheckBox_int_col_alternatif = true;
    a.d.Edit_new_desc_colonne = "Jour;T;C";
    EXPECT_EQ(a.lancer(), SuiteListage::arreter);
    EXPECT_EQ(a.dialogue.ids,
              std::vector<IdMessage>{IdMessage::colonnes_alternatives_discordantes});

    Description d = description_defaut();
    d.CheckBox_champs_guillemets = true;
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::virgule;
    d.CheckBox_col_cochee = true;
    d.Edit_col_cochee = "3";
    const std::string origine = "\"#\",\"Date Time, GMT\",\"Temp, C\"";
    EXPECT_EQ(resume_colonnes_extraites(d, origine, "avant"), "=> Temp, C");
    ColonnesFichier colonnes;
    colonnes.nb_colonnes_donnees = 2;
    colonnes.Edit_intitule_origine = origine;
    d.Edit_num_col_datetime = "2";
    JournalSuivi journal;
    DialogueScripte dialogue;
    lister_colonnes(d, colonnes, 3, "cumul", journal, dialogue);
    EXPECT_EQ(
        journal.lignes(),
        (std::vector<std::string>{
            "===============================================", " nb de colonnes de mesure(s) = 2",
            " nb de colonnes pour les dates/heures = 1", "1 - #", "2 - Date Time, GMT",
            "3 - Temp, C", "...extraire : _lg=#\tDate Time, GMT\tTemp, C  => ",
            "<Date Time, GMT> date/time = temps", "<Temp, C>", "<nb(2)_methode_(cumul)>"}));
}

// Beyond a spreadsheet's 16 384 columns a line is no logger's: a wrong separator or title
// line. Refused at the listing, with titles or without, before any table of that width.
TEST(AnalyserIntitules, TropDeColonnesRefusees) {
    struct Cas {
        int colonnes;
        bool avec_intitules;
        bool refuse;
    };
    for (const Cas& c : {Cas{16384, true, false}, Cas{16385, true, true}, Cas{16384, false, false},
                         Cas{100000, false, true}}) {
        SCOPED_TRACE(std::to_string(c.colonnes) + (c.avec_intitules ? " avec" : " sans"));
        std::string titres = "Date", donnees = "2023/12/25 08:00:00";
        for (int k = 1; k < c.colonnes; ++k) {
            titres += ";T" + std::to_string(k);
            donnees += ";1";
        }
        Analyse a(c.avec_intitules ? titres + "\n" + donnees + "\n" : donnees + "\n");
        a.d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
        a.d.RadioGroup_avec_sans_intitule_ItemIndex =
            c.avec_intitules ? Intitules::avec : Intitules::sans;
        a.d.RadioGroup_datetime_nb_col_ItemIndex = ColonnesDateHeure::une;
        a.d.Edit_num_ligne_intitule_col = c.avec_intitules ? "1" : "0";
        a.d.Edit_num_ligne_donnee = c.avec_intitules ? "2" : "1";
        EXPECT_EQ(a.lancer(), c.refuse ? SuiteListage::arreter : SuiteListage::continuer);
        if (c.refuse) {
            ASSERT_EQ(a.dialogue.vus.size(), 1u);
            EXPECT_EQ(a.dialogue.ids[0], IdMessage::trop_de_colonnes);
            EXPECT_EQ(a.dialogue.vus[0].type, TypeMessage::erreur);
            const std::string nombre = c.colonnes == 16385 ? "16 385" : "100 000";
            EXPECT_NE(
                a.dialogue.vus[0].texte.find(" le fichier f.csv compte " + nombre + " colonnes"),
                std::string::npos)
                << a.dialogue.vus[0].texte;
        } else {
            EXPECT_TRUE(a.dialogue.vus.empty());
            EXPECT_EQ(a.colonnes.nb_colonnes_donnees, c.colonnes - 1);
        }
    }
}

}  // namespace
}  // namespace tarvo
