// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace dictora {

// The answer to "标题下有内容，请选择内容变更的方式：", with the numbers the
// sentence list keeps as `contentChangeChoice`.
enum class ContentChangeChoice : int {
    Cancel = 0,  // "取消", Esc or the close box: the import stops
    Replace = 1, // "替换": the Section's sentences give way to the new ones
    Append = 2,  // "追加": the new sentences follow the old ones
};

// Asked by the importer when the target Section already has sentences. The
// content-change dialog answers it for the learner; tests answer it directly.
class ContentChangeQuestion {
public:
    virtual ~ContentChangeQuestion() = default;
    virtual ContentChangeChoice ask() = 0;
};

// A question the learner has answered already: the add-content dialog asks
// before it aligns a text with its recording, which may take a while, and
// hands the answer on to the import.
class GivenAnswer : public ContentChangeQuestion {
public:
    explicit GivenAnswer(ContentChangeChoice choice) : choice_(choice) {}
    ContentChangeChoice ask() override { return choice_; }

private:
    ContentChangeChoice choice_;
};

} // namespace dictora
