#pragma once

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "gamecfg/CodePage.h"
#include "views/StandardView.h"

#include <QGroupBox>
#include <QLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kwtest {

// Game text from UTF-8, as a loaded value would hold it.
inline std::string Game(const std::string& utf8) {
    return *kw::Utf8ToCp1251(utf8);
}

// The six standard view boxes side by side in one window, over a document whose catalog is made in memory.
class ViewsFixture : public testing::Test {
protected:
    ViewsFixture() {
        FWindow.setObjectName("frmMain");
        for (int page = 0; page < kw::kPageCount; ++page) {
            FBoxes[page] = new QGroupBox(QStringLiteral("Стандартный вид"), &FWindow);
            FBoxes[page]->setGeometry((page % 3) * 710, (page / 3) * 461, kw::kViewBoxSize.width(),
                                      kw::kViewBoxSize.height());
        }
        FWindow.resize(3 * 710, 2 * 461);
        FViews = std::make_unique<kw::TStandardViews>(FBoxes, FDocument);
        // The controls stand where a shown window's layouts would put them.
        for (QGroupBox* box : FBoxes) {
            box->layout()->activate();
        }
    }

    template <class T> T* Find(const char* name) {
        T* widget = FWindow.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    kw::TWeapon& AddWeapon(const std::string& name) {
        auto& weapon = *FCatalog.Weapons.emplace_back(std::make_unique<kw::TWeapon>());
        weapon.Name = name;
        weapon.Section = "wpn_" + name;
        weapon.FileName = "gamedata\\config\\weapons\\w_" + name + ".ltx";
        weapon.zoom_enabled.Value = "true";
        weapon.scope_status.Value = "0";
        weapon.silencer_status.Value = "0";
        weapon.grenade_launcher_status.Value = "0";
        return weapon;
    }

    template <class Entry>
    Entry& Add(std::vector<std::unique_ptr<Entry>>& collection, const std::string& name) {
        auto& entry = *collection.emplace_back(std::make_unique<Entry>());
        if constexpr (requires { entry.Time; }) {
            entry.Time = name;
        } else {
            entry.Name = name;
        }
        entry.Section = name;
        return entry;
    }

    kw::TDocument FDocument;
    kw::TCatalog& FCatalog = FDocument.Catalog();
    QWidget FWindow;
    kw::TStandardViews::TBoxes FBoxes{};
    std::unique_ptr<kw::TStandardViews> FViews;
};

} // namespace kwtest
