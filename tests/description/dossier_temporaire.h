// A fresh directory per test, for tests that read and write real files.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "formats/cp1252.h"
#include "formats/fichiers.h"

namespace tarvo {

class DossierTemporaire : public testing::Test {
protected:
    void SetUp() override {
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        std::string nom = std::string("tarvo_d_") + info->test_suite_name() + "_" + info->name();
        for (char& c : nom)
            if (c == '/') c = '_';
        racine_ = std::filesystem::temp_directory_path() / nom;
        std::filesystem::remove_all(racine_);
        std::filesystem::create_directories(racine_);
    }
    void TearDown() override { std::filesystem::remove_all(racine_); }

    // The core path (Windows-1252) of a file or directory below the temporary directory;
    // a directory is asked for with a final "/".
    std::string chemin(const std::string& relatif = "") const {
        return utf8_vers_cp1252(racine_.string()) + "/" + relatif;
    }
    // Creates a directory below the root and returns its core path with a final "/".
    std::string dossier(const std::string& relatif) const {
        std::filesystem::create_directories(racine_ / relatif);
        return chemin(relatif + "/");
    }
    // Writes a file of raw bytes below the root.
    void creer(const std::string& relatif, const std::string& contenu) const {
        const auto p = racine_ / relatif;
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << contenu;
    }
    std::string lire(const std::string& relatif) const {
        return lire_fichier(chemin(relatif)).value_or("<absent>");
    }
    bool existe(const std::string& relatif) const {
        return std::filesystem::exists(racine_ / relatif);
    }

    std::filesystem::path racine_;
};

}  // namespace tarvo
