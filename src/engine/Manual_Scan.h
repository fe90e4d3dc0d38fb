#pragma once
// The manual processing: only the messages the user picked in the manual scan
// window, against only the databases selected in the main window, through the
// same recognition, contact actions and disposal as the processing run.

#include "engine/Run_Interfaces.h"
#include "outlook/Mapi_Components.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace bc::engine {

inline const QString kListingUnderWay =
    QStringLiteral("You cannot scan emails while the emails are being listed.");
inline const QString kNoEmailPicked = QStringLiteral("Select the email item you want to scan.");
inline const QString kOtherRunUnderWay =
    QStringLiteral("Another processing is under way. Scan the emails when it has finished.");

// The manual scan window as the manual processing sees it.
class Manual_Scan_List
{
public:
    virtual ~Manual_Scan_List() = default;
    virtual bool Listing_Active() const = 0;
    // A row was clicked and has not been deleted since.
    virtual bool Has_Selected_Row() const = 0;
    // The keys ("-:::-", row index, "-:::-") of the selected rows, in the
    // list's display order.
    virtual QStringList Selected_Keys() const = 0;
    // What the window's listing fetched, which the keys index, and the store
    // of its folder. A run started since has replaced the program-wide
    // table, so the processing puts these back first.
    virtual const std::vector<outlook::Message_Row>& Listed_Rows() const = 0;
    virtual QString Listed_Store_ID() const = 0;
};

struct Manual_Scan_Context
{
    const Contact_Action_Choices& Choices;
    const Database_List_View* Databases = nullptr;
    Progress_View* Progress = nullptr;
    const Manual_Scan_List& List;
};

// Visits the picked rows from the last shown to the first, scans the returned
// ones, runs the contact actions on each selected database and disposes of
// the returned messages with the caller tag "Selective_Conversion", which
// also takes their rows out of the window's list. Answers false, doing
// nothing but its refusal message, while the listing, a run or another manual
// processing is under way, or when no row has been clicked.
bool Manual_Scan(const Manual_Scan_Context& context);

} // namespace bc::engine
