#pragma once

#include <array>

// A text that replaces the placeholder "{{" + Key + "}}" in template texts, per language
// (German, English, French).
struct TInsertTag {
    const char* Key;
    std::array<const char*, 3> Text;
};

// One compiled-in brand profile. The field names are the keys of TOemInfo::GetValue/GetFlag.
struct TOemInfoData {
    int oemid;
    const char* templateDB;
    const char* userDB;
    const char* devices;
    const char* reg_entry;
    const char* prog_name;
    const char* prog_company;
    const char* prog_company_short;
    bool add_company;
    const char* website;
    bool website_in_menu;
    const char* webhelp_url;
    const char* version_online;
    const char* manual_pdf;
    bool manual_in_menu;
    const char* device_image;
    const char* company_logo;
    const char* company_icon;
    bool lang_en;
    bool lang_de;
    bool lang_fr;
    const char* lang_fallback;
    std::array<const char*, 3> subtitle;
    const char* about_msg;
    std::array<TInsertTag, 7> tags;
};

inline constexpr int kOemRowCount = 4;
const std::array<TOemInfoData, kOemRowCount>& OemInfoTable();
