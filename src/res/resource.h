// Resource numbers of the disc menu, grouped by kind. The numbers are the
// ones the program is known by; nothing else in the source hard-codes them.
#pragma once

// Dialog templates
#define IDD_MENU 1002
#define IDD_LANGUAGE 138
#define IDD_MODEL 144

// Pictures and icon
#define IDB_MAIN_FACE 131
#define IDB_EXIT_STRIP 132
#define IDB_TEXT_STRIP 133
#define IDB_SMALL_FACE 143
#define IDI_MENU 146

// Main menu dialog controls (template 1002)
#ifndef IDOK
#define IDOK 1
#endif
#define IDC_MANUAL 1001
#define IDC_PREMIERE_UPDATER 1002
#define IDC_SUITE 1003
#define IDC_REGISTER 1004
#define IDC_AFTER_EFFECTS_PLUGIN 1005
#define IDC_MAX_PLUGIN 1006
#define IDC_SPICEMASTER_DEMO 1007
#define IDC_HOTFIX 1008
#define IDC_README 1009
#define IDC_WALLPAPERS 1010
#define IDC_VFW_CODECS 1011
#define IDC_LANGUAGE 1012
#define IDC_ACROBAT_READER 1013
#define IDC_LIGHTWAVE_PLUGIN 1014
#define IDC_DESCRIPTION 1015
#define IDC_EFFECT_ADDONS 1019
#define IDC_PHOTOSHOP_PLUGIN 1034

// Language dialog controls (template 138)
#define IDC_ENGLISH 1022
#define IDC_FRENCH 1023
#define IDC_GERMAN 1024
#define IDC_ITALIAN 1025
#define IDC_JAPANESE 1026
#define IDC_SPANISH 1027

// Model dialog controls (template 144)
#define IDC_VEXA10 1028
#define IDC_VEXA100 1029
#define IDC_MODEL_EXIT 1030

// String table: English identifiers. Every other language repeats the
// localised ones at identifier + language index * 1000.
// Button labels and the Exit tooltip (read at identifier + offset)
#define IDS_SUITE_LABEL                              1000
#define IDS_AFTER_EFFECTS_PLUGIN_LABEL               1002
#define IDS_MAX_PLUGIN_LABEL                         1003
#define IDS_MANUAL_LABEL                             1004
#define IDS_REGISTER_LABEL                           1006
#define IDS_ACROBAT_READER_LABEL                     1007
#define IDS_README_LABEL                             1008
#define IDS_WALLPAPERS_LABEL                         1009
#define IDS_VFW_CODECS_LABEL                         1010
#define IDS_LANGUAGE_LABEL                           1011
#define IDS_EXIT_TOOLTIP                             1012
#define IDS_SPICEMASTER_DEMO_LABEL                   1013
#define IDS_LIGHTWAVE_PLUGIN_LABEL                   1029
#define IDS_EFFECT_ADDONS_LABEL                      1083
#define IDS_PHOTOSHOP_PLUGIN_LABEL                   1102
#define IDS_HOTFIX_LABEL                             1108
#define IDS_PREMIERE_UPDATER_LABEL                   1115

// Descriptions of the entries and buttons (read at identifier + offset)
#define IDS_HOTFIX_DESCRIPTION                       1005
#define IDS_MANUAL_DESCRIPTION                       1014
#define IDS_AFTER_EFFECTS_PLUGIN_DESCRIPTION         1016
#define IDS_MAX_PLUGIN_DESCRIPTION                   1017
#define IDS_SUITE_DESCRIPTION                        1018
#define IDS_REGISTER_DESCRIPTION                     1020
#define IDS_SPICEMASTER_DEMO_DESCRIPTION             1021
#define IDS_README_DESCRIPTION                       1022
#define IDS_WALLPAPERS_DESCRIPTION                   1023
#define IDS_VFW_CODECS_DESCRIPTION                   1024
#define IDS_EXIT_DESCRIPTION                         1025
#define IDS_ACROBAT_READER_DESCRIPTION               1026
#define IDS_LANGUAGE_DESCRIPTION                     1027
#define IDS_LIGHTWAVE_PLUGIN_DESCRIPTION             1030
#define IDS_EFFECT_ADDONS_DESCRIPTION                1084
#define IDS_PHOTOSHOP_PLUGIN_DESCRIPTION             1103
#define IDS_PREMIERE_UPDATER_DESCRIPTION             1114

// Reasons shown while an entry is unavailable (read at identifier + offset)
#define IDS_SUITE_INSTALLED                          1036
#define IDS_REGISTER_NEEDS_SUITE                     1037
#define IDS_AFTER_EFFECTS_PLUGIN_NEEDS_SUITE_VEXA100 1060
#define IDS_MAX_PLUGIN_NEEDS_SUITE_VEXA100           1061
#define IDS_LIGHTWAVE_PLUGIN_NEEDS_SUITE_VEXA100     1063
#define IDS_SUITE_NOT_FOUND                          1064
#define IDS_AFTER_EFFECTS_PLUGIN_NOT_FOUND           1066
#define IDS_MAX_PLUGIN_NOT_FOUND                     1067
#define IDS_MANUAL_NOT_FOUND                         1068
#define IDS_REGISTER_NOT_FOUND                       1069
#define IDS_ACROBAT_READER_NOT_FOUND                 1070
#define IDS_README_NOT_FOUND                         1071
#define IDS_WALLPAPERS_NOT_FOUND                     1072
#define IDS_VFW_CODECS_NOT_FOUND                     1073
#define IDS_SPICEMASTER_DEMO_NOT_FOUND               1074
#define IDS_LIGHTWAVE_PLUGIN_NOT_FOUND               1075
#define IDS_VFW_CODECS_SUITE_INSTALLED               1076
#define IDS_MANUAL_NEEDS_READER                      1078
#define IDS_SUITE_CODECS_INSTALLED                   1079
#define IDS_EFFECT_ADDONS_NOT_FOUND                  1086
#define IDS_EFFECT_ADDONS_NEEDS_SUITE_VEXA100        1087
#define IDS_MAX_PLUGIN_INSTALLED                     1088
#define IDS_AFTER_EFFECTS_PLUGIN_INSTALLED           1089
#define IDS_LIGHTWAVE_PLUGIN_INSTALLED               1090
#define IDS_WALLPAPERS_INSTALLED                     1091
#define IDS_VFW_CODECS_INSTALLED                     1093
#define IDS_ACROBAT_READER_INSTALLED                 1094
#define IDS_PREMIERE_UPDATED                         1095
#define IDS_PHOTOSHOP_PLUGIN_NEEDS_SUITE_VEXA100     1104
#define IDS_PHOTOSHOP_PLUGIN_NOT_FOUND               1105
#define IDS_PHOTOSHOP_PLUGIN_INSTALLED               1106
#define IDS_HOTFIX_UNDEFINED_TEXT                    1107
#define IDS_HOTFIX_NOT_FOUND                         1109
#define IDS_HOTFIX_NEEDS_SUITE                       1111
#define IDS_PREMIERE_UPDATER_NOT_FOUND               1113
#define IDS_PREMIERE_UPDATER_NEEDS_PREMIERE          1116

// Message box texts and captions
#define IDS_CANNOT_FIND_FILE                         1028
#define IDS_ERROR_CAPTION                            1032
#define IDS_INSTALLER_CANNOT_START                   1082
#define IDS_SUITE_QUESTION                           1100
#define IDS_SUITE_QUESTION_CAPTION                   1101

// Folder templates, %s being the disc root (read fixed)
#define IDS_ACROBAT_READER_FOLDER                    1040
#define IDS_WALLPAPERS_FOLDER                        1041
#define IDS_SPICEMASTER_DEMO_FOLDER                  1042
#define IDS_VFW_CODECS_FOLDER                        1043
#define IDS_MAX_PLUGIN_FOLDER                        1044
#define IDS_AFTER_EFFECTS_PLUGIN_FOLDER              1045
#define IDS_LIGHTWAVE_PLUGIN_FOLDER                  1046
#define IDS_PHOTOSHOP_PLUGIN_FOLDER                  1049
#define IDS_PREMIERE_UPDATER_FOLDER                  1051
#define IDS_MANUAL_FOLDER                            1055
#define IDS_README_FOLDER                            1059
#define IDS_SUITE_FOLDER                             1077
#define IDS_EFFECT_ADDONS_FOLDER                     1096
#define IDS_HOTFIX_FOLDER                            1110

// File names (read fixed)
#define IDS_ACROBAT_READER_FILE                      1047
#define IDS_SETUP_FILE                               1048
#define IDS_PREMIERE_UPDATER_PROBE_FILE              1052
#define IDS_REGISTER_FILE                            1054
#define IDS_MANUAL_VEXA10_FILE                       1056
#define IDS_MANUAL_VEXA100_FILE                      1057
#define IDS_README_FILE                              1058
#define IDS_EFFECT_ADDONS_SETUP_FILE                 1097
#define IDS_HOTFIX_FILE                              1112
#define IDS_README_FR_FILE                           2058
#define IDS_README_DE_FILE                           3058
#define IDS_README_IT_FILE                           4058
#define IDS_README_ES_FILE                           5058
#define IDS_README_JP_FILE                           6058

// Names of the languages, each in its own language (read fixed)
#define IDS_ENGLISH_NAME                             1099
#define IDS_FRENCH_NAME                              2096
#define IDS_GERMAN_NAME                              3096
#define IDS_ITALIAN_NAME                             4096
#define IDS_SPANISH_NAME                             5096
#define IDS_JAPANESE_NAME                            6096

// Texts kept in the table that nothing reads
#define IDS_UNUSED_UPDATE_DESCRIPTION                1019
#define IDS_UNUSED_NEEDS_SUITE                       1039
#define IDS_UNUSED_WALLPAPERS_NEED_SUITE             1062
#define IDS_UNUSED_UPDATER_NOT_FOUND                 1065
#define IDS_UNUSED_DIRECTX_QUESTION                  1080
#define IDS_UNUSED_DIRECTX_CAPTION                   1081
#define IDS_UNUSED_EFFECT_ADDONS_INSTALLED           1092
#define IDS_UNUSED_UPDATER_INSTALLED_DE              3085
#define IDS_UNUSED_UPDATER_INSTALLED_IT              4085
