#pragma once

#include "catalog/Catalog.h"
#include "catalog/Document.h"
#include "views/GridCells.h"
#include "views/GridView.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace kwtest {

// The ammunition grid over three cartridges made in memory, shown as a user sees it.
class AmmoGridTest : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"9x18", "5.45", "7.62"}) {
            auto& ammo = *FCatalog.Ammo.emplace_back(std::make_unique<kw::TAmmo>());
            ammo.Name = name;
            ammo.Section = std::string("ammo_") + name;
            ammo.k_disp.Value = "1";
            ammo.k_dist.Value = "0.30";
            ammo.k_hit.Value = "1.1";
            ammo.box_size.Value = "30";
        }
        FGrid = new kw::TGridView(kw::GridDef(kw::TGridId::Ammo), FDocument, &FWindow);
        FGrid->setGeometry(0, 0, 400, 200);
        FWindow.resize(400, 200);
        FGrid->ShowCatalog();
        FWindow.show();
    }

    QModelIndex At(int row, int column) const { return kwtest::At(*FGrid, row, column); }
    QString Text(int row, int column) const { return CellText(*FGrid, row, column); }
    bool Marked(int row, int column) const { return FGrid->Model().IsMarked(row, column); }
    QBrush Tint(int row, int column) const { return CellTint(*FGrid, row, column); }
    bool Editable(int row, int column) const {
        return FGrid->model()->flags(At(row, column)) & Qt::ItemIsEditable;
    }
    void Select(int top, int left, int bottom, int right) const {
        SelectRange(*FGrid, top, left, bottom, right);
    }
    void Type(int row, int column, const QString& text) const { TypeIntoCell(*FGrid, row, column, text); }

    kw::TDocument FDocument;
    kw::TCatalog& FCatalog = FDocument.Catalog();
    QWidget FWindow;
    kw::TGridView* FGrid = nullptr;
};

} // namespace kwtest
