;;; emacs_test.el --- Emacs's ispell and flyspell with lexivane as the spell checker  -*- lexical-binding: t -*-
;; Run: emacs --batch -Q -l emacs_test.el LEXIVANE TEXT-FILE
;; Prints what the editor found and fails (exit 1) on any difference from what is expected.
(require 'ispell)
(require 'flyspell)
(require 'cl-lib)

(defvar lexivane-test-failures 0)
(defun lexivane-expect (what got expected)
  (if (equal got expected)
      (message "ok: %s" what)
    (setq lexivane-test-failures (1+ lexivane-test-failures))
    (message "FAIL: %s\n  got:      %S\n  expected: %S" what got expected)))

(setq ispell-program-name (expand-file-name (nth 0 command-line-args-left))
      ispell-dictionary "en_US"
      ispell-silently-savep t)
(defvar lexivane-text-file (nth 1 command-line-args-left))
(setq command-line-args-left nil)

(defun lexivane-flagged ()
  "The words flyspell marked, in buffer order."
  (mapcar (lambda (o) (buffer-substring-no-properties (overlay-start o) (overlay-end o)))
          (sort (cl-remove-if-not #'flyspell-overlay-p (overlays-in (point-min) (point-max)))
                (lambda (a b) (< (overlay-start a) (overlay-start b))))))

(defconst lexivane-expected-flagged '("Teh" "wrold" "helo" "Secnd" "recieve"))

(with-temp-buffer
  (insert-file-contents lexivane-text-file)
  (text-mode)
  ;; The identity the banner gives: UTF-8 and the dictionaries the program lists.
  (ispell-set-spellchecker-params)
  (lexivane-expect "recognised as a UTF-8 speller" (and ispell-really-enchant t) t)
  (lexivane-expect "dictionaries" (mapcar #'car ispell-enchant-dictionary-alist)
                   '("en_US" "en_GB" "en_CA" "en_AU" "en"))
  ;; Word by word through the pipe (a region below flyspell-large-region).
  (flyspell-mode 1)
  (flyspell-buffer)
  (lexivane-expect "flyspell word by word" (lexivane-flagged) lexivane-expected-flagged)
  ;; The whole region at once through -l.
  (flyspell-delete-all-overlays)
  (let ((flyspell-large-region 1))
    (flyspell-buffer))
  (lexivane-expect "flyspell large region" (lexivane-flagged) lexivane-expected-flagged)
  ;; The first suggestions, as the correction menu shows them.
  (let ((first-suggestions
         (mapcar (lambda (word)
                   (ispell-send-string (concat "^" word "\n"))
                   (while (progn (ispell-accept-output) (not (string= "" (car ispell-filter)))))
                   (let ((result (ispell-parse-output (cadr ispell-filter))))
                     (setq ispell-filter nil)
                     (car (nth 2 result))))
                 '("wrold" "recieve" "Teh"))))
    (lexivane-expect "first suggestions" first-suggestions '("world" "receive" "The")))
  (flyspell-mode -1))

;; ispell-buffer over whole lines: every misspelling replaced by its first suggestion (in the
;; misspelling's letter case: "Teh" becomes "The"). The offsets of the pipe must point at each word, or Emacs stops with a
;; misalignment error.
(with-temp-buffer
  (insert-file-contents lexivane-text-file)
  (text-mode)
  (let (asked)
    (cl-letf (((symbol-function 'ispell-command-loop)
               (lambda (miss _guess word _start _end) (push word asked) (car miss))))
      (condition-case err
          (ispell-buffer)
        (error (lexivane-expect "ispell-buffer ran" (error-message-string err) nil))))
    (lexivane-expect "ispell-buffer asked about" (reverse asked) lexivane-expected-flagged)
    (lexivane-expect "ispell-buffer corrected"
                     (buffer-string)
                     "The café, naïve world 😀 isn’t hello.\nSecond line with receive — and don't.\n")))

;; The words ispell-buffer asks about in a buffer of TEXT in MODE (SETUP run after the mode), in
;; buffer order; none is replaced.
(defun lexivane-asked (mode text &optional setup)
  (with-temp-buffer
    (insert text)
    (funcall mode)
    (when setup (funcall setup))
    (let (asked)
      (cl-letf (((symbol-function 'ispell-command-loop)
                 (lambda (_miss _guess word _start _end) (push word asked) nil)))
        (ispell-buffer))
      (reverse asked))))

;; A LaTeX buffer: Emacs sends `+` for it, and the pipe hides the markup, command names included.
(lexivane-expect "ispell-buffer in latex-mode asked about"
                 (lexivane-asked
                  #'latex-mode
                  "\\section{Introduction} Teh \\lexvbox{text} \\usepackage{amsmath} $\\alpha$ ok.\n")
                 '("Teh"))
;; Back in a text buffer, Emacs sends `-`: the same line is read as plain text again.
(lexivane-expect "ispell-buffer in text-mode after latex-mode asked about"
                 (lexivane-asked #'text-mode "\\section{Introduction} Teh \\lexvbox{text} ok.\n")
                 '("Teh" "lexvbox"))

;; An HTML buffer with the pipe started as `-H` (Emacs's own skipping of tags turned off, so
;; that what is hidden is what the pipe hides): the tags, attribute values and the script are
;; not prose; the alt text is, and the entity is checked as the letter it stands for.
(ispell-kill-ispell t)
(let ((ispell-extra-args '("-H")))
  (lexivane-expect "ispell-buffer in html-mode with -H asked about"
                   (lexivane-asked
                    #'html-mode
                    (concat "<p class=\"lexvclass\">Teh <img src=\"x.png\" alt=\"a wrold\"> caf&eacute;"
                            " <script>lexvscript()</script> helo</p>\n")
                    (lambda () (setq-local ispell-skip-html nil)))
                   '("Teh" "wrold" "helo"))
  (ispell-kill-ispell t))
(kill-emacs (if (= lexivane-test-failures 0) 0 1))
