#include "inventory/edition_table.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "formats/cp1252.h"
#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "inventory/listing.h"
#include "inventory/table_fichiers.h"
#include "outils_inventaire.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/lanceur_enregistreur.h"
#include "plateforme/doubles/progression_scriptee.h"

namespace tarvo {
namespace {

using Noms = std::vector<std::string>;

struct Fichier {
    std::string nom;
    std::string station;
    std::string date_nom;
    std::string taille = " 1";
};

TableFichiers table_de(const std::vector<Fichier>& fichiers) {
    TableFichiers t;
    for (std::size_t i = 0; i < fichiers.size(); ++i) {
        const int l = t.ajouter_ligne();
        t.ecrire_cellule(l, Colonne::n, std::to_string(i + 1));
        t.ecrire_cellule(l, Colonne::fichier, fichiers[i].nom);
        t.ecrire_cellule(l, Colonne::station, fichiers[i].station);
        t.ecrire_cellule(l, Colonne::date_nom_fichier, fichiers[i].date_nom);
        t.ecrire_cellule(l, Colonne::taille, fichiers[i].taille);
    }
    return t;
}

Noms colonne(const TableFichiers& t, Colonne c) {
    Noms v;
    for (int i = 1; i < t.nb_lignes(); ++i) v.push_back(t.lire_cellule(i, c));
    return v;
}

TableFichiers abcd() {
    return table_de({{"A", "", ""}, {"B", "", ""}, {"C", "", ""}, {"D", "", ""}});
}

TEST(EditionTable, EffacementsApresLaQuestion) {
    enum class Quoi { selection, haut, bas };
    struct Cas {
        Quoi quoi;
        int premiere, derniere;
        Reponse reponse;
        std::string question;
        Noms restent;
    };
    const std::string haut = "effacer toutes les lignes vers le haut, courante comprise ?";
    const std::string bas = "effacer toutes les lignes vers le bas, courante comprise ?";
    const std::vector<Cas> cas = {
        {Quoi::bas, 1, 1, Reponse::oui, bas, {}},
        {Quoi::bas, 3, 3, Reponse::oui, bas, {"A", "B"}},
        {Quoi::bas, 4, 4, Reponse::non, bas, {"A", "B", "C", "D"}},
        {Quoi::haut, 2, 2, Reponse::oui, haut, {"C", "D"}},
        // The table keeps one data row.
        {Quoi::haut, 4, 4, Reponse::oui, haut, {"D"}},
        {Quoi::selection,
         2,
         3,
         Reponse::oui,
         fr("effacer toutes les lignes sélectionnées ?\n  de la ligne 2  à la ligne 3"),
         {"A", "D"}},
        {Quoi::selection,
         4,
         4,
         Reponse::oui,
         fr("effacer la lignes sélectionnée  L4  ?\n"),
         {"A", "B", "C"}},
        {Quoi::selection,
         1,
         4,
         Reponse::non,
         fr("effacer toutes les lignes sélectionnées ?\n  de la ligne 1  à la ligne 4"),
         {"A", "B", "C", "D"}},
    };
    for (const Cas& c : cas) {
        TableFichiers t = abcd();
        DialogueScripte dialogue;
        dialogue.attendre_question(c.reponse);
        const bool efface = c.quoi == Quoi::bas ? effacer_vers_le_bas(t, c.premiere, dialogue)
                            : c.quoi == Quoi::haut
                                ? effacer_vers_le_haut(t, c.premiere, dialogue)
                                : effacer_selection(t, c.premiere, c.derniere, dialogue);
        EXPECT_EQ(efface, c.reponse == Reponse::oui) << c.question;
        EXPECT_EQ(colonne(t, Colonne::fichier), c.restent) << c.question;
        ASSERT_EQ(dialogue.vus.size(), 1u);
        EXPECT_EQ(dialogue.vus[0].texte, c.question);
        EXPECT_EQ(dialogue.vus[0].boutons, Boutons::oui_non);
        EXPECT_EQ(dialogue.ids[0], c.quoi == Quoi::bas ? IdMessage::effacer_lignes_vers_le_bas
                                   : c.quoi == Quoi::haut
                                       ? IdMessage::effacer_lignes_vers_le_haut
                                       : IdMessage::effacer_lignes_selectionnees);
    }
}

TEST(EditionTable, UneTableVideNeDemandeRien) {
    TableFichiers t;
    DialogueScripte dialogue;
    EXPECT_FALSE(effacer_vers_le_bas(t, 1, dialogue));
    EXPECT_FALSE(effacer_selection(t, 1, 1, dialogue));
    EXPECT_FALSE(
        effacer_hors_periode(t, "01/01/2023 00:00:00", "31/01/2023 00:00:00", false, dialogue));
    EXPECT_TRUE(dialogue.vus.empty());
}

TEST(EditionTable, SupprimerHorsPeriodeGardeLesBornes) {
    const auto periode = [] {
        return table_de({{"dec", "", "2022/12/31"},
                         {"debut", "", "2023/01/01"},
                         {"sans_date", "", ""},
                         {"fin", "", "2023/01/31"},
                         {"fevrier", "", "2023/02/01"},
                         {"texte", "", "31/12/2022"}});
    };
    struct Cas {
        bool sans_confirmation;
        std::optional<Reponse> reponse;
        Noms restent;
    };
    const Noms tous = {"dec", "debut", "sans_date", "fin", "fevrier", "texte"};
    const Noms gardes = {"debut", "sans_date", "fin", "texte"};
    for (const Cas& c : std::vector<Cas>{{false, Reponse::oui, gardes},
                                         {false, Reponse::non, tous},
                                         {true, std::nullopt, gardes}}) {
        TableFichiers t = periode();
        DialogueScripte dialogue;
        if (c.reponse) dialogue.attendre_question(*c.reponse);
        // The end time of day does not matter: the whole end day stays.
        effacer_hors_periode(t, "01/01/2023 06:00:00", "31/01/2023 00:00:00", c.sans_confirmation,
                             dialogue);
        EXPECT_EQ(colonne(t, Colonne::fichier), c.restent);
        ASSERT_EQ(dialogue.vus.size(), c.reponse ? 1u : 0u);
        if (c.reponse) {
            EXPECT_EQ(dialogue.vus[0].texte,
                      fr("effacer les lignes hors intervalle = période ciblée ?"));
        }
    }
}

TEST(EditionTable, RecompterApresEffacement) {
    TableFichiers t = table_de({{"mesure_2021_11_10_00.csv", "", "", " 1,5"},
                                {"mesure_2021_11_02_00.csv", "", "", " 0,25"},
                                {"sans.csv", "", "", " 2"}});
    Description d = essai::description_defaut();
    d.Edit_f_date_fichier = "2,3,4";
    EtatInventaire etat;
    JournalSuivi journal;
    ProgressionScriptee progression;
    recompter_tableau(t, d, etat, journal, progression);
    EXPECT_EQ(etat.affichage.Label_nb_fic, "3  fichiers");
    EXPECT_EQ(etat.taille_totale_ko, 3750);
    EXPECT_EQ(etat.affichage.taille_totale, "taille totale 3,75 Mo");
    EXPECT_EQ(colonne(t, Colonne::date_nom_fichier), (Noms{"2021/11/10", "2021/11/02", ""}));
    EXPECT_EQ(etat.affichage.Label_date_min, "02/11/2021 00:00:00");
    EXPECT_EQ(etat.affichage.Label_date_max, "10/11/2021 00:00:00");
    EXPECT_FALSE(etat.affichage.Label_date_min_rouge);
    EXPECT_FALSE(etat.affichage.Label_date_max_rouge);
    ASSERT_EQ(progression.affichages.size(), 3u);
    EXPECT_EQ(progression.affichages[1].message, "3- patienter ... 2 / 4");

    // One row left: the count alone.
    TableFichiers une = table_de({{"x.csv", "", "", " 9"}});
    EtatInventaire autre;
    recompter_tableau(une, d, autre, journal, progression);
    EXPECT_EQ(autre.affichage.Label_nb_fic, "1  fichiers");
    EXPECT_EQ(autre.taille_totale_ko, 0);
}

TEST(EditionTable, MarquesParStation) {
    const auto stations = [] {
        TableFichiers t = table_de(
            {{"n1", "Nord", ""}, {"s1", "Sud", ""}, {"n2", "Nord", ""}, {"e1", "Est", ""}});
        t.marquer(2, true);
        return t;
    };
    struct Cas {
        ChoixStation choix;
        Noms marques;
        std::string titre;
    };
    const std::vector<Cas> cas = {
        {ChoixStation::ne_cocher_que, {"x", "", "x", ""}, "Station Nord"},
        {ChoixStation::cocher_en_plus, {"x", "x", "x", ""}, "Station Sud+Nord"},
        {ChoixStation::decocher_tout, {"", "", "", ""}, "Graphiques"},
        {ChoixStation::decocher_station, {"", "x", "", ""}, "Graphiques"},
        {ChoixStation::cocher_tout, {"x", "x", "x", "x"}, "Graphiques"},
    };
    for (const Cas& c : cas) {
        TableFichiers t = stations();
        EtatInventaire etat;
        EXPECT_EQ(appliquer_choix_station(t, c.choix, "Nord", "Station Sud", etat), c.titre);
        EXPECT_EQ(colonne(t, Colonne::marque), c.marques) << c.titre;
        EXPECT_EQ(etat.ListBox_fic_coche, memoriser_marques(t)) << c.titre;
    }
    EXPECT_EQ(legendes_choix_station("Nord"),
              (std::array<std::string, 5>{"ne cocher que les <Nord>", "cocher les <Nord> en plus",
                                          fr("décocher toutes les lignes"),
                                          fr("décocher juste les  <Nord>"),
                                          "cocher toutes les lignes "}));
}

TEST(EditionTable, TriAlterneLeSens) {
    TableFichiers t = table_de({{"b", "", ""}, {"c", "", ""}, {"a", "", ""}});
    t.ecrire_cellule(1, Colonne::n, "2");
    t.ecrire_cellule(2, Colonne::n, "10");
    t.ecrire_cellule(3, Colonne::n, "1");
    bool croissant = true;
    const int n = static_cast<int>(Colonne::n);
    trier_par_colonne(t, n, croissant);
    EXPECT_EQ(colonne(t, Colonne::n), (Noms{"1", "2", "10"}));  // as numbers
    trier_par_colonne(t, n, croissant);
    EXPECT_EQ(colonne(t, Colonne::n), (Noms{"10", "2", "1"}));
    EXPECT_TRUE(croissant);
    // The mark column sorts the other way: marked rows first on the next click.
    t.marquer(3, true);
    trier_par_colonne(t, colonne_marque, croissant);
    EXPECT_EQ(colonne(t, Colonne::marque), (Noms{"x", "", ""}));
}

TEST(EditionTable, BasculerUneMarqueSuitLaListe) {
    TableFichiers t = abcd();
    EtatInventaire etat;
    basculer_marque(t, 3, etat);
    basculer_marque(t, 1, etat);
    EXPECT_EQ(etat.ListBox_fic_coche, (Noms{"A", "C"}));
    basculer_marque(t, 3, etat);
    EXPECT_EQ(colonne(t, Colonne::marque), (Noms{"x", "", "", ""}));
    EXPECT_EQ(etat.ListBox_fic_coche, (Noms{"A"}));
}

class MarquesEtListage : public essai::DossierTemporaire {};

// The user marks a file, a new file arrives and the directory is listed again: the mark
// follows the name, not the row.
TEST_F(MarquesEtListage, MarqueGardeeParNom) {
    const auto creer = [&](const std::string& nom) {
        std::ofstream(racine_ / nom, std::ios::binary) << "Date;T\n2023/12/25 08:00:00;1\n";
    };
    for (const char* nom : {"b.csv", "c.csv", "d.csv"}) creer(nom);
    Description d = essai::description_defaut();
    d.dossier_choisi = utf8_vers_cp1252(racine_.string()) + "/";
    d.Edit_masque = "csv";
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::point_virgule;
    d.Edit_format_datetime_mesure = "aaaa/mm/jj hh:mn:ss";
    EtatInventaire etat;
    TableFichiers table;
    LecteurDateMesure lecteur;
    JournalSuivi journal;
    DialogueScripte dialogue;
    ProgressionScriptee progression;
    LanceurEnregistreur lanceur;
    const auto lister_tout = [&] {
        return lister_fichiers_table(d, {}, false, etat, table, lecteur, journal, dialogue,
                                     progression, lanceur);
    };
    ASSERT_EQ(lister_tout().fin, FinListage::complet);
    basculer_marque(table, 2, etat);
    ASSERT_EQ(etat.ListBox_fic_coche, (Noms{"c.csv"}));
    creer("a.csv");
    ASSERT_EQ(lister_tout().fin, FinListage::complet);
    EXPECT_EQ(colonne(table, Colonne::fichier), (Noms{"a.csv", "b.csv", "c.csv", "d.csv"}));
    EXPECT_EQ(colonne(table, Colonne::marque), (Noms{"", "", "x", ""}));
}

TEST(EditionTable, ArrondiAuPas) {
    struct Cas {
        std::string date;
        double pas;
        std::string inferieur, proche;
    };
    const double minute = 1.0 / 1440;
    const std::vector<Cas> cas = {
        {"25/12/2023 08:07:30", 5 * minute, "25/12/2023 08:05:00", "25/12/2023 08:10:00"},
        {"25/12/2023 08:05:00", 5 * minute, "25/12/2023 08:05:00", "25/12/2023 08:05:00"},
        {"25/12/2023 08:07:29", 5 * minute, "25/12/2023 08:05:00", "25/12/2023 08:05:00"},
        {"25/12/2023 23:58:00", 5 * minute, "25/12/2023 23:55:00", "26/12/2023 00:00:00"},
        {"25/12/2023 08:59:59", 60 * minute, "25/12/2023 08:00:00", "25/12/2023 09:00:00"},
        {"25/12/2023 08:07:30", 0, "25/12/2023 08:07:30", "25/12/2023 08:07:30"},
    };
    for (const Cas& c : cas) {
        JournalSuivi journal;
        std::string canonique;
        const double t = texte_vers_date_heure(c.date, canonique, journal);
        EXPECT_EQ(date_heure_vers_texte(arrondir_au_pas_inferieur(t, c.pas)), c.inferieur)
            << c.date;
        EXPECT_EQ(date_heure_vers_texte(arrondir_au_pas_proche(t, c.pas)), c.proche) << c.date;
    }
}

TEST(EditionTable, CopieDesDatesDesLabels) {
    using Cible = CopieDate::Cible;
    const auto question_de = [](SourceDate source) {
        switch (source) {
            case SourceDate::Label_date_min:
                return IdMessage::copier_date_min;
            case SourceDate::Label_date_max:
                return IdMessage::copier_date_max;
            case SourceDate::Label_min_dsc:
                return IdMessage::copier_date_heure_min;
            case SourceDate::Label_max_dsc:
                return IdMessage::copier_date_heure_max;
            case SourceDate::Label_pas_dsc:
                return IdMessage::copier_pas;
            case SourceDate::Label_date_heure_min:
                return IdMessage::copier_date_heure_mini_arrondie;
            case SourceDate::Label_date_heure_max:
                break;
        }
        return IdMessage::copier_date_heure_maxi_arrondie;
    };
    const double pas = 5.0 / 1440;
    const std::string t = "25/12/2023 08:07:30";
    struct Cas {
        SourceDate source;
        std::string texte;
        std::optional<Reponse> reponse;  // none: no question
        std::string question;
        std::optional<Cible> cible;
        std::string copie;
    };
    const std::string mini =
        fr(" récupérer la date/heure mini ?\n\n(oui) 25/12/2023 08:05:00\n\n(non) ") + t + "\n\n";
    const std::string maxi =
        fr(" récupérer la date/heure maxi ?\n\n(oui) 25/12/2023 08:10:00\n\n(non) ") + t + "\n\n";
    const std::vector<Cas> cas = {
        {SourceDate::Label_date_heure_min, t, Reponse::oui, mini, Cible::debut,
         "25/12/2023 08:05:00"},
        {SourceDate::Label_date_heure_min, t, Reponse::non, mini, Cible::debut, t},
        {SourceDate::Label_date_heure_min, t, Reponse::annuler, mini, std::nullopt, ""},
        {SourceDate::Label_date_heure_max, t, Reponse::oui, maxi, Cible::fin,
         "25/12/2023 08:10:00"},
        {SourceDate::Label_date_min, t, Reponse::oui, fr(" récupérer la date min ?\n") + t,
         Cible::debut, t},
        {SourceDate::Label_date_max, t, Reponse::non, fr(" récupérer la date max ?\n") + t,
         std::nullopt, ""},
        {SourceDate::Label_min_dsc, t, Reponse::oui, fr(" récupérer la date/heure min ?\n") + t,
         Cible::debut, t},
        {SourceDate::Label_max_dsc, t, Reponse::oui, fr(" récupérer la date/heure max ?\n") + t,
         Cible::fin, t},
        // A step holds fewer digits than a date, and is still copied.
        {SourceDate::Label_pas_dsc, "01:00:00", Reponse::oui, fr(" récupérer le pas ?\n01:00:00"),
         Cible::pas, ""},
        // A label without a date asks nothing.
        {SourceDate::Label_date_min, "---", std::nullopt, "", std::nullopt, ""},
        {SourceDate::Label_date_heure_max, "", std::nullopt, "", std::nullopt, ""},
    };
    for (const Cas& c : cas) {
        DialogueScripte dialogue;
        JournalSuivi journal;
        if (c.reponse) dialogue.attendre_question(*c.reponse);
        const std::optional<CopieDate> copie =
            copier_date_label(c.source, c.texte, pas, dialogue, journal);
        ASSERT_EQ(dialogue.vus.size(), c.reponse ? 1u : 0u) << c.question;
        if (c.reponse) {
            EXPECT_EQ(dialogue.vus[0].texte, c.question);
            EXPECT_EQ(dialogue.ids[0], question_de(c.source)) << c.question;
        }
        ASSERT_EQ(copie.has_value(), c.cible.has_value()) << c.question;
        if (!copie) continue;
        EXPECT_EQ(copie->cible, *c.cible) << c.question;
        EXPECT_EQ(copie->texte, c.copie) << c.question;
        if (c.source == SourceDate::Label_pas_dsc) {
            EXPECT_DOUBLE_EQ(copie->pas, 1.0 / 24);
        }
    }
}

TEST(EditionTable, CopieDUneCelluleDateDep) {
    TableFichiers t = abcd();
    t.ecrire_cellule(1, Colonne::date_dep, "2023-12-25 08:07");
    t.ecrire_cellule(2, Colonne::date_fin, " ---");
    t.ecrire_cellule(3, Colonne::date_fin, "26/12/2023 10:00:00");
    const int dep = static_cast<int>(Colonne::date_dep), fin = static_cast<int>(Colonne::date_fin);
    DialogueScripte dialogue;
    JournalSuivi journal;
    dialogue.attendre_question(Reponse::oui);
    const auto debut = copier_date_cellule(t, 1, dep, dialogue, journal);
    ASSERT_TRUE(debut);
    EXPECT_EQ(debut->cible, CopieDate::Cible::debut);
    EXPECT_EQ(debut->texte, "25/12/2023 08:07:00");
    EXPECT_EQ(dialogue.vus.back().texte,
              fr(" récupérer la date dep comme date min ?\n2023-12-25 08:07"));
    EXPECT_FALSE(copier_date_cellule(t, 2, fin, dialogue, journal));  // not a date: no question
    EXPECT_FALSE(copier_date_cellule(t, 3, dep + 5, dialogue, journal));
    dialogue.attendre_question(Reponse::oui);
    const auto fin_copie = copier_date_cellule(t, 3, fin, dialogue, journal);
    ASSERT_TRUE(fin_copie);
    EXPECT_EQ(fin_copie->cible, CopieDate::Cible::fin);
    EXPECT_EQ(dialogue.vus.back().texte,
              fr(" récupérer la date fin comme date max?\n26/12/2023 10:00:00"));
    EXPECT_EQ(dialogue.vus.size(), 2u);
}

}  // namespace
}  // namespace tarvo
