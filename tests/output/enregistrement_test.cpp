#include "output/enregistrement.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "description/description.h"
#include "engine/grille.h"
#include "engine/table_etapes.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/journal_suivi.h"
#include "formats/provisoire.h"
#include "inventory/table_fichiers.h"
#include "plateforme/doubles/dialogue_scripte.h"
#include "plateforme/doubles/presse_papier_memoire.h"
#include "plateforme/doubles/progression_scriptee.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Lignes = std::vector<std::string>;
constexpr double seconde = 1.0 / 86400;

std::string lire(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

class Enregistrement : public testing::Test {
protected:
    void SetUp() override {
        racine_ = fs::temp_directory_path() /
                  ("tarvo_enregistrement_" + std::to_string(::getpid()) + "_" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(racine_);
        fs::create_directories(racine_);
        dossier_ = racine_.string() + "/";

        description_.Edit_nom_fic_sortie = "A10";
        description_.CheckBox_inc_nom = true;
        description_.Edit_masque = "csv";
        description_.dossier_choisi = "/donnees/";
        description_.dossier_choisi_sortie = dossier_;
        listes_.ListBox_DONNEE_date_clean = {"temps\tT\tnb", "07/11/2021 01:00:00\t 1,50\t2",
                                             "07/11/2021 02:00:00\t#N/A\t0"};
        listes_.ListBox_juste_donnee = {"T", " 1,50", "#N/A"};
        etapes_.dimensionner({1, 2, 3}, 3);
        etapes_.titres_colonnes = {"", "temps", "T", "nb"};
        etapes_.nb_vides[2] = 1;
        table_.ajouter_ligne();
        table_.ecrire_cellule(1, Colonne::fichier, "a.csv");
        grille_.Label_temps_deb = "07/11/2021 00:00:00";
        grille_.Label_temps_fin = "07/11/2021 02:00:00";
        grille_.TimePicker_pas = 3600 * seconde;
        journal_.ajouter_suivi("titre");
        journal_.ajouter_suivi("");
        presse_papier_.contenu = "ancien";
    }
    void TearDown() override { fs::remove_all(racine_); }

    ContexteEnregistrement contexte() {
        ContexteEnregistrement c{.description = description_,
                                 .f_modif = f_modif_,
                                 .listes = listes_,
                                 .etapes = etapes_,
                                 .table = table_,
                                 .parametres_grille = grille_,
                                 .journal = journal_,
                                 .dialogue = dialogue_,
                                 .progression = progression_,
                                 .presse_papier = presse_papier_,
                                 .enregistrer_description = [this] {
                                     ++descriptions_ecrites_;
                                     f_modif_ = false;
                                     return true;
                                 }};
        c.Label_description_bd = "essai.dsc";
        c.Label_nr_final = "3";
        c.Label_nlig_impliquee = "2 lignes extraites";
        c.nb_lignes_lues = 2;
        c.chrono_liste = 10 * seconde;
        c.chrono_grille = 5 * seconde;
        c.heure_debut_traitement = 45000.5;
        c.maintenant = 45000.5 + 60 * seconde;
        return c;
    }

    fs::path racine_;
    std::string dossier_;
    Description description_;
    bool f_modif_ = false;
    int descriptions_ecrites_ = 0;
    ListesResultats listes_;
    TableEtapes etapes_;
    TableFichiers table_;
    ParametresGrille grille_;
    JournalSuivi journal_;
    DialogueScripte dialogue_;
    ProgressionScriptee progression_;
    PressePapierMemoire presse_papier_;
};

const std::string texte_resultats =
    "temps\tT\tnb\r\n07/11/2021 01:00:00\t 1,50\t2\r\n07/11/2021 02:00:00\t#N/A\t0\r\n";

TEST_F(Enregistrement, ResultatPressePapierSuiviEtMessageFinal) {
    ContexteEnregistrement c = contexte();
    const ResultatEnregistrement r = enregistrer_resultats(c);
    ASSERT_TRUE(r.reussi()) << r.message_erreur;
    EXPECT_EQ(r.chemin, dossier_ + "A10.txt");
    EXPECT_EQ(r.chemin_suivi, dossier_ + "A10.txt.TXT");
    EXPECT_EQ(r.nom_resultat, "A10.txt");
    EXPECT_EQ(r.temps_restant, "reste 00:00:00    0 Mo");
    EXPECT_EQ(lire(racine_ / "A10.txt"), texte_resultats);
    EXPECT_EQ(r.texte_resultat, texte_resultats);
    EXPECT_EQ(presse_papier_.contenu, texte_resultats);
    EXPECT_EQ(descriptions_ecrites_, 0);

    // The tracking file holds the log up to the summary, not the two lines that follow it.
    const std::string suivi = lire(racine_ / "A10.txt.TXT");
    const auto lignes = decouper_lignes(suivi);
    ASSERT_GT(lignes.size(), 20u);
    EXPECT_EQ(lignes[0], " SUIVI DU TRAITEMENT : TABLEAU DES FICHIERS");
    EXPECT_EQ(lignes[4], " s\xE9parateur IN = (Tabulation)");
    EXPECT_TRUE(
        suivi.ends_with("  dur\xE9"
                        "e totale =  1 mn 15 s \r\n"));
    const auto& journal = journal_.lignes();
    ASSERT_GE(journal.size(), 3u);
    EXPECT_EQ(journal[journal.size() - 2], "");
    // The same total as the summary's "1 mn 15 s": listing, grid and run.
    EXPECT_EQ(journal.back(),
              "12:01:00  dur\xE9"
              "e totale 00:01:15");
    EXPECT_TRUE(suivi.find("\r\n => A10.txt\r\n") != std::string::npos);

    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids.back(), IdMessage::fin_traitement);
    EXPECT_EQ(dialogue_.vus[0].type, TypeMessage::information);
    EXPECT_EQ(dialogue_.vus[0].texte,
              "3- TRAITEMENT EFFECTU\xC9  (m\xE9thode : moyenne des n mesures OK)\n\n     2 lignes "
              "extraites\n\n     3 lignes     x     3 colonnes attendues\n\n\n\nA10.txt <- Donn\xE9"
              "es "
              "horodat\xE9"
              "e r\xE9guli\xE8res ( copi\xE9"
              "es dans le presse-papier )\n\nA10.txt.TXT <- "
              "fen\xEAtre de suivi dans le r\xE9pertoire : " +
                  dossier_ +
                  "\n\n    dur\xE9"
                  "e totale =  1 mn 15 s ");
    EXPECT_EQ(progression_.affichages.back().message, std::string(32, ' '));
}

TEST_F(Enregistrement, OptionsDuMessageFinal) {
    ContexteEnregistrement c = contexte();
    c.station = "Nord";
    description_.CheckBox_post_traitement = true;
    description_.CheckBox_derivees = true;
    ResultatEnregistrement r;
    r.chemin = "/s/R.txt";
    r.chemin_suivi = "/s/R.txt.TXT";
    r.description_enregistree = true;
    const std::string o =
        " station( Nord ) avec POSTtraitement des donn\xE9"
        "es extraites  calcul des "
        "d\xE9riv\xE9"
        "es (r\xE9tro cumul) [y(i) - y(i-1)] / pas";
    EXPECT_EQ(
        texte_fin_traitement(c, r),
        "3- TRAITEMENT EFFECTU\xC9  (m\xE9thode : moyenne des n mesures OK)" + o +
            "\n\n     2 lignes extraites\n\n     3 lignes     x     3 colonnes attendues\n\n" + o +
            "\n\nR.txt <- Donn\xE9"
            "es horodat\xE9"
            "e r\xE9guli\xE8res ( copi\xE9"
            "es dans le "
            "presse-papier )\n\nR.txt.TXT <- fen\xEAtre de suivi dans le r\xE9pertoire : /s/\n\n  "
            "  (le fichier de description est \xE9galement enregistr\xE9), dur\xE9"
            "e totale =  1 mn "
            "15 s ");
}

TEST_F(Enregistrement, ModesSansPressePapierNiMessage) {
    struct Cas {
        bool mode_presse_papier;
        bool arret_pc;
        std::string presse_papier;
        std::size_t nb_messages;
    };
    const std::vector<Cas> cas = {
        {true, false, "ancien", 1},
        {false, true, texte_resultats, 0},
    };
    for (const Cas& k : cas) {
        presse_papier_.contenu = "ancien";
        dialogue_.vus.clear();
        ContexteEnregistrement c = contexte();
        c.mode_presse_papier = k.mode_presse_papier;
        c.arret_pc_demande = k.arret_pc;
        const ResultatEnregistrement r = enregistrer_resultats(c);
        ASSERT_TRUE(r.reussi());
        EXPECT_EQ(lire(r.chemin), texte_resultats);
        EXPECT_EQ(presse_papier_.contenu, k.presse_papier);
        EXPECT_EQ(dialogue_.vus.size(), k.nb_messages);
    }
}

TEST_F(Enregistrement, DescriptionModifieeEcriteAvecLeResume) {
    f_modif_ = true;
    ContexteEnregistrement c = contexte();
    const ResultatEnregistrement r = enregistrer_resultats(c);
    ASSERT_TRUE(r.reussi());
    EXPECT_EQ(descriptions_ecrites_, 1);
    EXPECT_FALSE(f_modif_);
    // Only a description really written is said to be.
    EXPECT_TRUE(r.description_enregistree);
    EXPECT_NE(dialogue_.vus.back().texte.find(
                  "(le fichier de description est \xE9galement enregistr\xE9)"),
              std::string::npos);
}

TEST_F(Enregistrement, MasqueTxtDansLeDossierDesDonneesVaDansExport) {
    description_.Edit_masque = "txt";
    description_.dossier_choisi = dossier_;
    for (int passage = 1; passage <= 2; ++passage) {
        description_.dossier_choisi_sortie = dossier_;
        f_modif_ = false;
        ContexteEnregistrement c = contexte();
        c.enregistrer_description = [this] {
            ++descriptions_ecrites_;
            return true;
        };
        const ResultatEnregistrement r = enregistrer_resultats(c);
        ASSERT_TRUE(r.reussi()) << r.message_erreur;
        const std::string attendu = passage == 1 ? "A10.txt" : "A10(1).txt";
        EXPECT_EQ(r.chemin, dossier_ + "EXPORT/" + attendu);
        EXPECT_EQ(description_.dossier_choisi_sortie, dossier_ + "EXPORT/");
        EXPECT_TRUE(f_modif_);
        EXPECT_EQ(descriptions_ecrites_, passage);
    }
    EXPECT_FALSE(fs::exists(racine_ / "A10.txt"));

    // Any other mask, or another output directory, leaves it alone.
    Description d = description_;
    d.dossier_choisi_sortie = dossier_;
    d.Edit_masque = "*.txt";
    EXPECT_FALSE(appliquer_dossier_export(d));
    d.Edit_masque = "TXT";
    d.dossier_choisi = "/ailleurs/";
    EXPECT_FALSE(appliquer_dossier_export(d));
    EXPECT_EQ(d.dossier_choisi_sortie, dossier_);
}

TEST_F(Enregistrement, ResultatImpossibleAEcrire) {
    std::ofstream(racine_ / "fichier") << "x";
    description_.dossier_choisi_sortie = dossier_ + "fichier/";
    ContexteEnregistrement c = contexte();
    const std::size_t avant = journal_.lignes().size();
    const ResultatEnregistrement r = enregistrer_resultats(c);
    EXPECT_EQ(r.etat, EtatEnregistrement::echec_resultat);
    EXPECT_FALSE(r.message_erreur.empty());
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids.back(), IdMessage::echec_ecriture_resultat);
    EXPECT_EQ(dialogue_.vus[0].type, TypeMessage::erreur);
    EXPECT_EQ(dialogue_.vus[0].texte, r.message_erreur);
    EXPECT_EQ(presse_papier_.contenu, "ancien");
    // Only the name was logged: no summary for a save that did not happen.
    EXPECT_EQ(journal_.lignes().size(), avant + 1);
    EXPECT_EQ(journal_.lignes().back(), " => A10.txt");
    EXPECT_EQ(listes_.ListBox_DONNEE_date_clean.size(), 3u);
}

// A directory where the tracking file should go: refused before anything is replaced.
TEST_F(Enregistrement, UnSuiviQuiSeraitUnDossierEstRefuse) {
    fs::create_directories(racine_ / "A10.txt.TXT");
    ContexteEnregistrement c = contexte();
    const ResultatEnregistrement r = enregistrer_resultats(c);
    EXPECT_EQ(r.etat, EtatEnregistrement::echec_resultat);
    EXPECT_EQ(r.message_erreur,
              fr("Impossible de remplacer ") + dossier_ + fr("A10.txt.TXT : c'est un dossier"));
    EXPECT_FALSE(fs::exists(racine_ / "A10.txt"));
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids.back(), IdMessage::echec_ecriture_resultat);
    EXPECT_TRUE(fs::is_directory(racine_ / "A10.txt.TXT"));
    EXPECT_EQ(std::distance(fs::directory_iterator(racine_), {}), 1);
    EXPECT_EQ(presse_papier_.contenu, "ancien");
}

// Fails what a test names at one step of the write, and counts the calls.
struct Panne {
    static inline EtapeEcriture etape = EtapeEcriture::creation;
    static inline std::string morceau;  // of the path concerned
    static inline int erreur = 0;
    static inline bool retirer_copies = false;  // the old result's copy vanishes too
    static int crochet(EtapeEcriture e, const char* chemin) {
        if (e != etape || std::string_view(chemin).find(morceau) == std::string_view::npos)
            return 0;
        if (retirer_copies)
            for (const auto& f : fs::directory_iterator(fs::path(chemin).parent_path()))
                if (f.path().filename().string().find(".~ancien") != std::string::npos)
                    fs::remove(f.path());
        return erreur;
    }
};
struct CrochetInstalle {
    CrochetInstalle() { definir_crochet_ecriture(&Panne::crochet); }
    ~CrochetInstalle() { definir_crochet_ecriture(nullptr); }
    CrochetInstalle(const CrochetInstalle&) = delete;
    CrochetInstalle& operator=(const CrochetInstalle&) = delete;
};

// Whatever fails on the way, the pair is the old one or the new one: the tracking file that
// cannot be created, or cannot replace its old version, leaves the old result in place (or no
// result where there was none); only when even putting the old result back fails is the pair
// split, and then it says so.
TEST_F(Enregistrement, LaPaireResteEntiereQuandLeSuiviEchoue) {
    struct Cas {
        EtapeEcriture etape;
        bool ancienne_paire;
        bool retirer_copies;
        EtatEnregistrement etat;
        std::string resultat;  // what stands at A10.txt afterwards; "-" = nothing
    };
    const std::vector<Cas> cas = {
        {EtapeEcriture::creation, false, false, EtatEnregistrement::echec_resultat, "-"},
        {EtapeEcriture::creation, true, false, EtatEnregistrement::echec_resultat, "ancien"},
        {EtapeEcriture::entre_renommages, false, false, EtatEnregistrement::echec_resultat, "-"},
        {EtapeEcriture::entre_renommages, true, false, EtatEnregistrement::echec_resultat,
         "ancien"},
        {EtapeEcriture::entre_renommages, true, true, EtatEnregistrement::echec_suivi,
         texte_resultats},
    };
    description_.CheckBox_inc_nom = false;
    for (const Cas& k : cas) {
        fs::remove_all(racine_);
        fs::create_directories(racine_);
        if (k.ancienne_paire) {
            std::ofstream(racine_ / "A10.txt", std::ios::binary) << "ancien";
            std::ofstream(racine_ / "A10.txt.TXT", std::ios::binary) << "ancien suivi";
        }
        dialogue_.vus.clear();
        if (k.ancienne_paire) dialogue_.attendre_question(Reponse::oui);  // overwrite
        Panne::etape = k.etape;
        // Only the tracking file: its temporary, or its rename.
        Panne::morceau =
            k.etape == EtapeEcriture::creation ? "A10.txt.TXT.~ecriture" : "A10.txt.TXT";
        Panne::erreur = ENOSPC;
        Panne::retirer_copies = k.retirer_copies;
        ContexteEnregistrement c = contexte();
        ResultatEnregistrement r;
        {
            const CrochetInstalle crochet;
            r = enregistrer_resultats(c);
        }
        EXPECT_EQ(r.etat, k.etat) << static_cast<int>(k.etape) << " " << k.ancienne_paire;
        EXPECT_TRUE(r.message_erreur.ends_with(fr("disque plein"))) << r.message_erreur;
        EXPECT_EQ(fs::exists(racine_ / "A10.txt") ? lire(racine_ / "A10.txt") : "-", k.resultat);
        EXPECT_EQ(fs::exists(racine_ / "A10.txt.TXT") ? lire(racine_ / "A10.txt.TXT") : "-",
                  k.ancienne_paire ? "ancien suivi" : "-");
        const std::size_t attendus =
            (k.ancienne_paire ? 2u : 0u) + (k.resultat != "-" && !k.ancienne_paire ? 1u : 0u);
        EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(racine_), {})),
                  attendus)
            << "no temporary nor copy left";
        EXPECT_EQ(presse_papier_.contenu, "ancien");
    }
}

TEST_F(Enregistrement, ValeursSeulesVersLePressePapier) {
    // Nothing formatted yet: nothing happens.
    EXPECT_FALSE(copier_valeurs_seules({}, dossier_, false, presse_papier_, dialogue_));
    EXPECT_TRUE(dialogue_.vus.empty());

    const std::string attendu = "T\r\n 1,50\r\n#N/A\r\n";
    struct Cas {
        bool mode_presse_papier;
        std::string presse_papier;
    };
    for (const Cas& k : std::vector<Cas>{{false, attendu}, {true, "ancien"}}) {
        presse_papier_.contenu = "ancien";
        dialogue_.vus.clear();
        EXPECT_EQ(copier_valeurs_seules(listes_, dossier_, k.mode_presse_papier, presse_papier_,
                                        dialogue_),
                  attendu);
        EXPECT_EQ(lire(racine_ / "~tmp.txt"), attendu);
        EXPECT_EQ(presse_papier_.contenu, k.presse_papier);
        ASSERT_EQ(dialogue_.vus.size(), 1u);
        EXPECT_EQ(dialogue_.vus[0].texte,
                  " les colonnes sans la date ni le nombre de lignes extraites\n\n "
                  "sont copi\xE9"
                  "es dans le presse-papier");
    }

    std::ofstream(racine_ / "fichier") << "x";
    dialogue_.vus.clear();
    presse_papier_.contenu = "ancien";
    EXPECT_FALSE(
        copier_valeurs_seules(listes_, dossier_ + "fichier/", false, presse_papier_, dialogue_));
    EXPECT_EQ(presse_papier_.contenu, "ancien");
    ASSERT_EQ(dialogue_.vus.size(), 1u);
    EXPECT_EQ(dialogue_.ids.back(), IdMessage::erreur_copie_valeurs);
    EXPECT_EQ(dialogue_.vus[0].type, TypeMessage::erreur);
}

}  // namespace
}  // namespace tarvo
