#include "app/form1.h"

#include "ui_form1.h"

// Each record field, declared once. To add one: its column in app/records/schema.cpp, its
// box (and option button, if searched) in form1.ui, and a row here.
const std::vector<Form1::RecordField>& Form1::recordFieldTable()
{
    static const std::vector<RecordField> fields = {
        {"Name", " Chemical Name :          ", &Ui::Form1::Label1, &Ui::Form1::nametxt,
         &Ui::Form1::nameoptbtn, &Form1::nametxt_KeyPress},
        {"IUPAC", " IUPAC Name :             ", &Ui::Form1::Label2, &Ui::Form1::iupactxt,
         &Ui::Form1::iupacoptbtn, nullptr},
        {"CAS", " CAS Registry Number :    ", &Ui::Form1::Label8, &Ui::Form1::CAStxt,
         &Ui::Form1::CASoptbtn, &Form1::CAStxt_KeyPress},
        {"MolFormula", " Molecular Formula :      ", &Ui::Form1::Label3, &Ui::Form1::mfortxt,
         &Ui::Form1::mforoptbtn, nullptr},
        {"MolWeight", " Molecular Weight :       ", &Ui::Form1::Label4, &Ui::Form1::mwttxt,
         &Ui::Form1::mwtoptbtn, &Form1::mwttxt_KeyPress},
        {"EqWeight", " Equivalent Weight :      ", &Ui::Form1::Label5, &Ui::Form1::eqwttxt,
         &Ui::Form1::eqwtoptbtn, &Form1::eqwttxt_KeyPress},
        {"Appearance", " Physical Appearance :    ", &Ui::Form1::Label6, &Ui::Form1::phyapptxt,
         nullptr, nullptr},
        {"Spgr", " Specific Gravity :       ", &Ui::Form1::Label13, &Ui::Form1::spgrtxt,
         &Ui::Form1::spgroptbtn, nullptr},
        {"pH", " pH Value :               ", &Ui::Form1::Label14, &Ui::Form1::pHtxt, nullptr,
         nullptr},
        {"SpecialNote", " Special Note :           ", &Ui::Form1::Label15, &Ui::Form1::notetxt,
         nullptr, nullptr},
    };
    return fields;
}

QList<TextBox*> Form1::recordFields() const
{
    QList<TextBox*> boxes;
    for (const RecordField& field : recordFieldTable())
        boxes.append(ui.get()->*field.box);
    return boxes;
}
