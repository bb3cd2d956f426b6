#include "formats/fuseaux.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"

namespace tarvo {
namespace {

constexpr int sans = 999999;  // the text names no zone

TEST(Fuseau, TextesAcceptesEtRefuses) {
    struct Cas {
        std::string texte;
        int decalage;  // fixed offset in seconds, or sans
        bool base;     // a zone of the database
    };
    const std::vector<Cas> cas = {
        {"UTC", 0, false},
        {"GMT", 0, false},
        {" utc ", 0, false},
        {"UTC+01:00", 3600, false},
        {"UTC-07:00", -25200, false},
        {"GMT-07:00", -25200, false},
        {"UTC+0530", 19800, false},
        {"UTC+14:00", 50400, false},
        {"Europe/Paris", 0, true},
        {"America/Los_Angeles", 0, true},
        {" Europe/Paris ", 0, true},
        {"", sans, false},
        {"UTC+1", sans, false},      // the hours take two digits
        {"UTC+15:00", sans, false},  // wider than any offset in use
        {"UTC+01:60", sans, false},
        {"UTC 01:00", sans, false},
        {"Paris", sans, false},
        {"Europe/Lutece", sans, false},
        {"Europe/Paris;", sans, false},
        {"../../etc/passwd", sans, false},
    };
    for (const Cas& c : cas) {
        const std::optional<Fuseau> f = Fuseau::lire(c.texte);
        if (c.decalage == sans) {
            EXPECT_FALSE(f) << "<" << c.texte << ">";
            continue;
        }
        ASSERT_TRUE(f) << "<" << c.texte << ">";
        EXPECT_EQ(f->zone() != nullptr, c.base) << c.texte;
        if (!c.base) {
            EXPECT_EQ(f->decalage_fixe(), c.decalage) << c.texte;
        }
    }
}

// The database's names, links included; not the other files of its directory (the copies
// under posix/ and right/, posixrules, Factory), nor a path, which the zone library would read.
TEST(Fuseau, NomsDeLaBaseSeulement) {
    for (const char* texte : {"Etc/GMT+5", "US/Eastern", "Europe/Kiev", "EST5EDT"})
        EXPECT_TRUE(Fuseau::lire(texte)) << texte;
    for (const char* texte :
         {"posix/Europe/Paris", "right/Europe/Paris", "posixrules", "Factory",
          "/usr/share/zoneinfo/Europe/Paris", "/Europe/Paris", "Europe//Paris", "Europe/Paris/"})
        EXPECT_FALSE(Fuseau::lire(texte)) << texte;
}

TEST(Fuseau, DecalageEnFinDeTexte) {
    struct Cas {
        std::string texte;
        int decalage;          // or sans
        std::size_t longueur;  // of the text before the offset
    };
    const std::vector<Cas> cas = {
        {"2024-10-27 02:00:00Z", 0, 19},
        {"2024-10-27T02:00:00 Z", 0, 19},
        {"27/10/2024 02:00 UTC", 0, 16},
        {"27/10/2024 02:00 GMT ", 0, 16},
        {"27/10/2024 02:00:00+01:00", 3600, 19},
        {"27/10/2024 02:00:00 -07:00", -25200, 19},
        {"27/10/2024 02:00:00 +0530", 19800, 19},
        {"27/10/2024 02:00 UTC+01:00", 3600, 16},
        {"27/10/2024 02:00 GMT-07:00", -25200, 16},
        {"27/10/2024 02:00:00", sans, 0},
        {"27-10-2024", sans, 0},  // a year is no offset
        {"10/27/24 02:00:00 PM", sans, 0},
        {"2024-10-27", sans, 0},
        {"27/10/2024 02:00:00 +01", sans, 0},
        {"", sans, 0},
    };
    for (const Cas& c : cas) {
        std::size_t longueur = 12345;
        const std::optional<int> d = decalage_en_fin(c.texte, longueur);
        if (c.decalage == sans) {
            EXPECT_FALSE(d) << "<" << c.texte << ">";
            continue;
        }
        ASSERT_TRUE(d) << "<" << c.texte << ">";
        EXPECT_EQ(*d, c.decalage) << c.texte;
        EXPECT_EQ(longueur, c.longueur) << c.texte;
    }
}

double instant(const std::string& texte) {
    std::string canonique;
    JournalSuivi journal;
    return texte_vers_date_heure(texte, canonique, journal);
}

// One file's lines, in order: local text and the offset written after it (sans: none),
// then the expected result text ("" for a local time that does not exist).
struct Ligne {
    std::string local;
    int decalage;
    std::string attendu;
};

void convertir_fichier(const std::string& mesures, const std::string& resultat,
                       const std::vector<Ligne>& lignes) {
    std::optional<Fuseau> m;
    if (!mesures.empty()) {
        m = Fuseau::lire(mesures);
        ASSERT_TRUE(m) << mesures;
    }
    const std::optional<Fuseau> r = Fuseau::lire(resultat);
    ASSERT_TRUE(r) << resultat;
    ConversionFuseaux conversion(m, *r);
    for (const Ligne& l : lignes) {
        double t = instant(l.local);
        const bool existe = conversion.convertir(
            t, l.decalage == sans ? std::nullopt : std::optional<int>(l.decalage));
        EXPECT_EQ(existe, !l.attendu.empty()) << mesures << " -> " << resultat << " " << l.local;
        if (existe) {
            EXPECT_EQ(date_heure_vers_texte(t), l.attendu) << mesures << " " << l.local;
            // Exactly the timestamp a date reader gives for that text.
            EXPECT_EQ(t, instant(l.attendu)) << l.local;
        }
    }
}

TEST(ConversionFuseaux, FichiersEnOrdre) {
    struct Fichier {
        std::string mesures, resultat;
        std::vector<Ligne> lignes;
    };
    const std::vector<Fichier> fichiers = {
        // Spring 2024 in Paris: 02:00 to 03:00 local does not exist.
        {"Europe/Paris",
         "UTC",
         {{"31/03/2024 01:30:00", sans, "31/03/2024 00:30:00"},
          {"31/03/2024 02:00:00", sans, ""},
          {"31/03/2024 02:30:00", sans, ""},
          {"31/03/2024 03:00:00", sans, "31/03/2024 01:00:00"},
          {"31/03/2024 03:30:00", sans, "31/03/2024 01:30:00"}}},
        // Autumn 2024: 02:00 to 03:00 local twice, first in summer time, then in winter time.
        {"Europe/Paris",
         "UTC",
         {{"27/10/2024 01:30:00", sans, "26/10/2024 23:30:00"},
          {"27/10/2024 02:00:00", sans, "27/10/2024 00:00:00"},
          {"27/10/2024 02:30:00", sans, "27/10/2024 00:30:00"},
          {"27/10/2024 02:00:00", sans, "27/10/2024 01:00:00"},
          {"27/10/2024 02:30:00", sans, "27/10/2024 01:30:00"},
          {"27/10/2024 03:00:00", sans, "27/10/2024 02:00:00"}}},
        // Once an hour: the repeated time itself starts the second pass.
        {"Europe/Paris",
         "UTC",
         {{"27/10/2024 01:40:00", sans, "26/10/2024 23:40:00"},
          {"27/10/2024 02:40:00", sans, "27/10/2024 00:40:00"},
          {"27/10/2024 02:40:00", sans, "27/10/2024 01:40:00"},
          {"27/10/2024 03:40:00", sans, "27/10/2024 02:40:00"}}},
        // A file that starts inside the repeated hour takes its first pass.
        {"Europe/Paris",
         "UTC",
         {{"27/10/2024 02:50:00", sans, "27/10/2024 00:50:00"},
          {"27/10/2024 02:10:00", sans, "27/10/2024 01:10:00"}}},
        // A fixed offset, both ways, and across a day.
        {"UTC-07:00",
         "UTC",
         {{"15/06/2024 10:00:00", sans, "15/06/2024 17:00:00"},
          {"31/12/2024 20:00:00", sans, "01/01/2025 03:00:00"}}},
        {"UTC", "UTC+01:00", {{"01/01/2024 23:30:00", sans, "02/01/2024 00:30:00"}}},
        // An offset written after the time overrides the measurement zone.
        {"Europe/Paris",
         "UTC",
         {{"15/06/2024 12:00:00", 0, "15/06/2024 12:00:00"},
          {"15/06/2024 12:00:00", 3600, "15/06/2024 11:00:00"},
          {"15/06/2024 12:00:00", sans, "15/06/2024 10:00:00"},
          {"31/03/2024 02:30:00", 3600, "31/03/2024 01:30:00"}}},
        // Without a measurement zone, only times with their own offset move.
        {"",
         "Europe/Paris",
         {{"15/06/2024 12:00:00", sans, "15/06/2024 12:00:00"},
          {"15/06/2024 12:00:00", 0, "15/06/2024 14:00:00"},
          {"15/01/2024 12:00:00", -25200, "15/01/2024 20:00:00"}}},
        // A result zone with summer time repeats an hour: two instants, one local time.
        {"UTC",
         "Europe/Paris",
         {{"27/10/2024 00:30:00", sans, "27/10/2024 02:30:00"},
          {"27/10/2024 01:30:00", sans, "27/10/2024 02:30:00"},
          {"31/03/2024 00:59:00", sans, "31/03/2024 01:59:00"},
          {"31/03/2024 01:00:00", sans, "31/03/2024 03:00:00"}}},
        // Zone to zone.
        {"America/New_York",
         "Europe/Paris",
         {{"04/07/2024 12:00:00", sans, "04/07/2024 18:00:00"}}},
    };
    for (const Fichier& f : fichiers) convertir_fichier(f.mesures, f.resultat, f.lignes);
}

// Every quarter of an hour of 2024 through the kept intervals, compared with a fresh
// conversion (that looks every rule up) and back: the cache must never give another offset.
TEST(ConversionFuseaux, UneAnneeAllerEtRetour) {
    const Fuseau paris = *Fuseau::lire("Europe/Paris");
    ConversionFuseaux vers_paris(Fuseau::utc(), paris);
    ConversionFuseaux vers_utc(paris, Fuseau::utc());
    const double debut = instant("01/01/2024 00:00:00");
    for (int q = 0; q < 366 * 96; ++q) {
        const double utc = debut + q * 900 / jour_en_secondes;
        double local = utc;
        ASSERT_TRUE(vers_paris.convertir(local, std::nullopt));
        double seul = utc;
        ConversionFuseaux(Fuseau::utc(), paris).convertir(seul, std::nullopt);
        ASSERT_EQ(millisecondes(local), millisecondes(seul)) << date_heure_vers_texte(utc);
        double retour = local;
        ASSERT_TRUE(vers_utc.convertir(retour, std::nullopt)) << date_heure_vers_texte(local);
        ASSERT_EQ(millisecondes(retour), millisecondes(utc)) << date_heure_vers_texte(local);
    }
}

// Every quarter of an hour of the first and last years of the rules the zone files give
// after 2037, and around the 400 years of them a library may unroll, through the kept
// intervals: the same as a fresh conversion, and back.
TEST(ConversionFuseaux, AllerEtRetourApres2037) {
    for (const char* nom : {"Europe/Paris", "Australia/Lord_Howe", "Europe/Dublin",
                            "America/Santiago", "Asia/Tehran"}) {
        const Fuseau zone = *Fuseau::lire(nom);
        for (const auto& [de, a] : {std::pair{"01/01/2036 00:00:00", "01/01/2041 00:00:00"},
                                    std::pair{"01/01/2098 00:00:00", "01/01/2101 00:00:00"},
                                    std::pair{"01/01/2437 00:00:00", "01/01/2439 00:00:00"}}) {
            ConversionFuseaux vers_zone(Fuseau::utc(), zone);
            ConversionFuseaux vers_utc(zone, Fuseau::utc());
            const double debut = instant(de), fin = instant(a);
            for (int q = 0; debut + q / 96.0 < fin; ++q) {
                const double utc = debut + q * 900 / jour_en_secondes;
                double local = utc;
                ASSERT_TRUE(vers_zone.convertir(local, std::nullopt));
                double seul = utc;
                ConversionFuseaux(Fuseau::utc(), zone).convertir(seul, std::nullopt);
                ASSERT_EQ(millisecondes(local), millisecondes(seul))
                    << nom << " " << date_heure_vers_texte(utc);
                double retour = local;
                ASSERT_TRUE(vers_utc.convertir(retour, std::nullopt))
                    << nom << " " << date_heure_vers_texte(local);
                ASSERT_EQ(millisecondes(retour), millisecondes(utc))
                    << nom << " " << date_heure_vers_texte(local);
            }
        }
    }
}

// After 2037 the zone files give their rule in a footer, not as listed changes.
// fuseaux_apres_2037.txt holds what Python's zoneinfo reads from the same files, written by
// fuseaux_apres_2037.py: around every change of 2038 to 2100 (and of a few later years) and
// at two dates far from them, for zones of both hemispheres, a 30-minute change, a negative
// summer time. The lines of a zone are one file in each direction, read in order.
TEST(ConversionFuseaux, ReglesApres2037) {
    // As reported: midday in Paris is 10:00 UTC in the summer of 2038 as in 2037.
    convertir_fichier("Europe/Paris", "UTC",
                      {{"01/07/2037 12:00:00", sans, "01/07/2037 10:00:00"},
                       {"01/07/2038 12:00:00", sans, "01/07/2038 10:00:00"}});
    const std::filesystem::path chemin =
        std::filesystem::path(TARVO_DONNEES_REELLES).parent_path() / "formats" /
        "fuseaux_apres_2037.txt";
    std::ifstream fichier(chemin);
    ASSERT_TRUE(fichier) << chemin;
    std::string nom;
    std::optional<ConversionFuseaux> mesures, resultat;
    std::vector<std::string> ecarts;
    int nb = 0;
    for (std::string ligne; std::getline(fichier, ligne);) {
        if (ligne.empty() || ligne[0] == '#') continue;
        if (ligne[0] == '[') {
            nom = ligne.substr(1, ligne.size() - 2);
            const std::optional<Fuseau> zone = Fuseau::lire(nom);
            ASSERT_TRUE(zone) << nom;
            mesures.emplace(zone, Fuseau::utc());
            resultat.emplace(Fuseau::utc(), *zone);
            continue;
        }
        // "m;local;UTC" (UTC empty: a skipped time) or "r;UTC;local".
        const std::size_t separateur = ligne.find(';', 2);
        ASSERT_TRUE(mesures && (ligne[0] == 'm' || ligne[0] == 'r') && ligne[1] == ';' &&
                    separateur != std::string::npos)
            << ligne;
        const std::string attendu = ligne.substr(separateur + 1);
        double t = instant(ligne.substr(2, separateur - 2));
        const bool existe = (ligne[0] == 'm' ? *mesures : *resultat).convertir(t, std::nullopt);
        const std::string lu = existe ? date_heure_vers_texte(t) : "";
        if (lu != attendu) ecarts.push_back(nom + " " + ligne + " gives <" + lu + ">");
        ++nb;
    }
    EXPECT_GT(nb, 9000);
    std::string premiers;
    for (std::size_t i = 0; i < ecarts.size() && i < 20; ++i) premiers += ecarts[i] + "\n";
    EXPECT_TRUE(ecarts.empty()) << ecarts.size() << " of " << nb << " differ:\n" << premiers;
}

// The flexible patterns read the offset after the time only when asked; otherwise the text
// reads as it always did.
TEST(ConversionFuseaux, SuffixeLuParLesMotifsSouples) {
    struct Cas {
        std::string texte;
        bool lire;
        std::string attendu;
        int decalage;  // or sans
    };
    const std::string motif = "jj/mm/aaaa hh:mn:ss souple";
    const std::vector<Cas> cas = {
        {"27/10/2024 02:00:00Z", true, "27/10/2024 02:00:00", 0},
        {"27/10/2024 02:00 +01:00", true, "27/10/2024 02:00:00", 3600},
        {"27/10/2024 2:00:00 GMT-07:00", true, "27/10/2024 02:00:00", -25200},
        {"27/10/2024 02:00:00", true, "27/10/2024 02:00:00", sans},
        // Unasked, the offset's digits are what they were: the seconds here.
        {"27/10/2024 02:00 +01:00", false, "27/10/2024 02:00:01", sans},
        {"27/10/2024 02:00:00Z", false, "27/10/2024 02:00:00", sans},
    };
    for (const Cas& c : cas) {
        LecteurDateMesure lecteur;
        lecteur.lire_decalage_utc = c.lire;
        JournalSuivi journal;
        EXPECT_EQ(lecteur.lire_date_heure_mesure(c.texte, motif, journal), c.attendu) << c.texte;
        EXPECT_EQ(lecteur.decalage_utc_lu.value_or(sans), c.decalage) << c.texte;
    }
}

}  // namespace
}  // namespace tarvo
