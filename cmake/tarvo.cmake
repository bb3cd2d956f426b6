# Build helpers shared by every folder: one library per folder, one way to register a test.

set(TARVO_AVERTISSEMENTS -Wall -Wextra -Wpedantic -Werror)
# GCC 12 reports std::string concatenation as overlapping copies (its bug 105651).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  list(APPEND TARVO_AVERTISSEMENTS -Wno-restrict)
endif()

if(TARVO_SANITISEURS)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()

# tarvo_bibliotheque(nom SOURCES ... LIBS ...): the library of one folder.
function(tarvo_bibliotheque nom)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${nom} STATIC ${ARG_SOURCES})
  target_include_directories(${nom} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(${nom} PRIVATE ${TARVO_AVERTISSEMENTS})
  target_link_libraries(${nom} PUBLIC ${ARG_LIBS})
endfunction()

# tarvo_test(nom SOURCES ... LIBS ...): a GoogleTest program registered with CTest.
function(tarvo_test nom)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${nom} ${ARG_SOURCES})
  target_compile_options(${nom} PRIVATE ${TARVO_AVERTISSEMENTS})
  target_link_libraries(${nom} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${nom} PRIVATE
    TARVO_DONNEES_REELLES="${TARVO_DONNEES_REELLES}")
  gtest_discover_tests(${nom} TEST_PREFIX "${nom}." DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# The layers form a chain, each folder using only the ones below it, and plateforme/ (interfaces)
# beside them all; the core builds without Qt. A wrong include fails the configuration.
function(tarvo_verifier_couches)
  set(chaine formats description inventory engine output session ui)
  set(permis plateforme)
  foreach(dossier plateforme ${chaine})
    if(NOT dossier STREQUAL "plateforme")
      list(APPEND permis ${dossier})
    endif()
    file(GLOB_RECURSE fichiers ${PROJECT_SOURCE_DIR}/${dossier}/*.h
                               ${PROJECT_SOURCE_DIR}/${dossier}/*.cpp)
    foreach(f ${fichiers})
      if(NOT dossier STREQUAL "ui")
        file(STRINGS ${f} lignes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
        if(lignes)
          message(FATAL_ERROR "${f} includes Qt: only ui/ and app/ may (${lignes})")
        endif()
      endif()
      file(STRINGS ${f} inclusions REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
      foreach(ligne ${inclusions})
        string(REGEX REPLACE "^[^\"]*\"([a-z_]+)/.*$" "\\1" cible "${ligne}")
        list(FIND permis ${cible} trouve)
        if(trouve EQUAL -1)
          message(FATAL_ERROR "${f} includes ${cible}/, which is not below ${dossier}/ (${ligne})")
        endif()
      endforeach()
    endforeach()
  endforeach()
endfunction()

# tarvo_test_qt(nom SOURCES ... LIBS ...): a QtTest program run on the offscreen platform.
function(tarvo_test_qt nom)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${nom} ${ARG_SOURCES})
  set_target_properties(${nom} PROPERTIES AUTOMOC ON)
  target_compile_options(${nom} PRIVATE ${TARVO_AVERTISSEMENTS})
  target_link_libraries(${nom} PRIVATE ${ARG_LIBS} Qt6::Test tarvo_plateforme_doubles)
  target_compile_definitions(${nom} PRIVATE
    TARVO_DONNEES_REELLES="${TARVO_DONNEES_REELLES}"
    TARVO_SOURCES="${PROJECT_SOURCE_DIR}")
  add_test(NAME ${nom} COMMAND ${nom})
  set_tests_properties(${nom} PROPERTIES TIMEOUT 300
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
